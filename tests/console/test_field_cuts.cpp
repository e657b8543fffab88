// Texts longer than their field are cut where a row is made, so the panel grid shows what the
// transceiver is given and what a later read or load shows: the phone numbers of the console import
// after the "+3" it puts before them, the type name of rows appended from a file, and a reserve
// server's address typed into its list.
#include "files/kcf_builder.h"

#include "console/console_import.h"
#include "core/variant.h"
#include "files/panel_append.h"
#include "tables/reserve_list.h"

#include <QTest>

using namespace talvir;

namespace {

const QString kLongName = QStringLiteral("Тип ППК с очень длинным названием");

// The row a path makes from a text given for one field; the field's text in it.
QString rowField(const QString &path, const QString &field, const QString &given)
{
    if (path == QLatin1String("import")) {
        ConsolePanel panel;
        panel.objRef = 1;
        panel.account = QStringLiteral("0001");
        panel.typeRef = 400;
        (field == QLatin1String("p1") ? panel.phoneM : field == QLatin1String("p2") ? panel.phoneM1 : panel.nameCentral) = given;
        const PanelRecord row = *panelRecordFrom(panel, 0, Variant::mxr600r());
        return field == QLatin1String("p1") ? row.phone1 : field == QLatin1String("p2") ? row.phone2 : row.typeName;
    }
    if (path == QLatin1String("append")) {
        const QByteArray file = FileBuilder().panels(300, {{1, slotWith("0001", 1)}}).bytes;
        const PanelAppend a = decodePanelAppend(file, Variant::mxr600r(), 0, [&](int) { return std::optional<QString>(given); });
        return a.rows.value(0).typeName;
    }
    // "typing": the text as the grid's editor hands it over.
    std::unique_ptr<Dataset> reserve(newReserveList(nullptr));
    reserve->insert();
    reserve->setData(reserve->index(0, kReserveAddressField), given);
    return reserve->fieldValue(kReserveAddressField).toString();
}

} // namespace

class TestFieldCuts : public QObject {
    Q_OBJECT
private slots:
    void cutToTheField_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("shown");
        QTest::newRow("import, Телефон 1") << "import" << "p1" << "806712345678901" << "+380671234567";
        QTest::newRow("import, Телефон 2") << "import" << "p2" << "8067123456789" << "+380671234567";
        QTest::newRow("import, type name") << "import" << "nPpk" << kLongName << kLongName.left(20);
        QTest::newRow("append, type name") << "append" << "nPpk" << kLongName << kLongName.left(20);
        QTest::newRow("typing, reserve server") << "typing" << "reserve" << "192.168.100.100.1234567" << "192.168.100.100.1234";
    }
    void cutToTheField()
    {
        QFETCH(QString, path);
        QFETCH(QString, field);
        QFETCH(QString, given);
        QTEST(rowField(path, field, given), "shown");
    }
};

QTEST_GUILESS_MAIN(TestFieldCuts)
#include "test_field_cuts.moc"

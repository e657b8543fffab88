// Appending the panels of another configuration file: numbering after the rows present, the slot
// count of either program's file, the table's capacity, and the outcomes the window shows as boxes.
#include "core/variant.h"
#include "files/kcf_builder.h"
#include "files/panel_append.h"

#include <QtTest>

using namespace talvir;

namespace {
using Box = AppendBox;

std::optional<QString> knownTypes(int typeId)
{
    return typeId == 201 ? std::optional<QString>(QStringLiteral("Type 201")) : std::nullopt;
}

// A file of that many frame records whose used slots are the given ones, each of type code 24.
QByteArray fileWithSlots(int frameRecords, const QList<int> &used)
{
    QMap<int, QByteArray> slotMap;
    for (int n : used)
        slotMap[n] = slotWith(qPrintable(QString::number(n)), 24);
    FileBuilder f;
    f.frame(28202, 1).frame(14102, 1); // settings before the block are passed over
    f.panels(frameRecords == 28622 ? 600 : 300, slotMap).fillTo(frameRecords);
    return f.bytes;
}

QList<int> range(int from, int to)
{
    QList<int> list;
    for (int n = from; n <= to; ++n)
        list << n;
    return list;
}
} // namespace

class TestPanelAppend : public QObject {
    Q_OBJECT
private slots:
    void rowsAfterThoseInTheTable_data()
    {
        QTest::addColumn<int>("frameRecords");
        QTest::addColumn<QList<int>>("used");
        QTest::addColumn<int>("existing");
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<QList<int>>("recNmbs");
        QTest::addColumn<int>("leftOut");
        QTest::newRow("3 rows, slots 1 and 4") << 14522 << QList<int>{1, 4} << 3 << 300 << QList<int>{4, 7} << 0;
        QTest::newRow("duziv file: 300 slots") << 14522 << QList<int>{1, 300} << 0 << 300 << QList<int>{1, 300} << 0;
        QTest::newRow("600r file: 600 slots") << 28622 << QList<int>{1, 301, 600} << 0 << 600
                                              << QList<int>{1, 301, 600} << 0;
        QTest::newRow("550 rows, 100 panels") << 14522 << range(1, 100) << 550 << 300 << range(551, 600) << 50;
        QTest::newRow("table full") << 28622 << QList<int>{2} << 600 << 600 << QList<int>{} << 1;
    }
    void rowsAfterThoseInTheTable()
    {
        QFETCH(int, frameRecords);
        QFETCH(QList<int>, used);
        QFETCH(int, existing);
        const PanelAppend a = decodePanelAppend(fileWithSlots(frameRecords, used), Variant::mxr600r(), existing,
                                                knownTypes);
        QVERIFY(a.ok());
        QTEST(a.slotCount, "slotCount");
        QCOMPARE(a.panelBlockRecord, 2);
        QList<int> recNmbs;
        for (const PanelRecord &row : a.rows) {
            recNmbs << *row.recNmb;
            QCOMPARE(row.nPpk, QStringLiteral("Type 201")); // code 24 translated before the lookup
        }
        QTEST(recNmbs, "recNmbs");
        QTEST(a.leftOut, "leftOut");
    }

    void unknownTypeIsNamedSo()
    {
        FileBuilder f;
        f.panels(300, {{1, slotWith("0001", 5)}});
        const PanelAppend a = decodePanelAppend(f.bytes, Variant::mxr600r(), 0, knownTypes);
        QCOMPARE(a.rows.size(), 1);
        QCOMPARE(int(a.rows[0].typeId), 30);
        QCOMPARE(a.rows[0].nPpk, QStringLiteral("Тип ППК не определен"));
    }

    void outcomes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("failure");
        QTest::addColumn<int>("panelBlockRecord");
        const QByteArray frame = QByteArray::fromHex("3B0000413333");
        FileBuilder cut;
        cut.panels(300, {{1, slotWith("0001")}});
        cut.bytes.chop(6);
        QTest::newRow("T but not Trans") << QByteArray("TranzP").append(frame).append(frame) << int(FileFailure::Format) << -1;
        QTest::newRow("no record addressed 0") << FileBuilder().frame(5, 1).frame(14102, 1).bytes
                                               << int(FileFailure::None) << -1;
        QTest::newRow("frames from record 1") << FileBuilder("TransX", false).panels(300).bytes
                                              << int(FileFailure::None) << 0;
        QTest::newRow("28621 records") << fileWithSlots(28621, {1}) << int(FileFailure::Format) << -1;
        QTest::newRow("block cut") << cut.bytes << int(FileFailure::Fatal) << 0;
    }
    void outcomes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, failure);
        const PanelAppend a = decodePanelAppend(bytes, Variant::mxr600r(), 3, knownTypes);
        QCOMPARE(int(a.failure), failure);
        QTEST(a.panelBlockRecord, "panelBlockRecord");
        QVERIFY(a.rows.isEmpty());
        QCOMPARE(a.leftOut, 0);
        if (a.failure == FileFailure::Format)
            QCOMPARE(a.failureBox(), (Box{QStringLiteral("Загрузка конфигурации"),
                                          QStringLiteral("Формат файла не соответствует типу устройства!"),
                                          Box::Icon::Stop, Box::Buttons::YesNo, false}));
        if (a.failure == FileFailure::Fatal)
            QCOMPARE(a.failureBox(), (Box{QStringLiteral("Загрузка конфигурации"),
                                          QStringLiteral("Возникла фатальная ошибка. Часть данных не загружена."),
                                          Box::Icon::Stop, Box::Buttons::Ok, false}));
    }

    void fromPath()
    {
        QTemporaryDir dir;
        QCOMPARE(appendPanelsFromFile(dir.filePath("none.kcf"), Variant::mxr600r(), 0, knownTypes).failure,
                 FileFailure::Format);
        QFile out(dir.filePath("a.kcf"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(fileWithSlots(14522, {7}));
        out.close();
        const PanelAppend a = appendPanelsFromFile(out.fileName(), Variant::mxr600r(), 1, knownTypes);
        QCOMPARE(a.rows.size(), 1);
        QCOMPARE(*a.rows[0].recNmb, 8);
    }
};

QTEST_GUILESS_MAIN(TestPanelAppend)
#include "test_panel_append.moc"

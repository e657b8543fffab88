// Appending the panels of another configuration file: numbering after the rows present, the slot
// count of either program's file, the table's capacity, and the outcomes the window shows as boxes.
#include "core/variant.h"
#include "files/kcf_builder.h"
#include "files/panel_append.h"

#include <QtTest>

using namespace talvir;

namespace {
QList<int> range(int from, int to)
{
    QList<int> list;
    for (int n = from; n <= to; ++n)
        list << n;
    return list;
}

// A file of that many frame records with these slots in use: odd slots of a type the list knows
// (code 24, TypeId 201), even ones of a type it does not; settings before the block are passed over.
QByteArray fileWithSlots(int frameRecords, const QList<int> &used)
{
    QMap<int, QByteArray> slotMap;
    for (int n : used)
        slotMap[n] = slotWith(qPrintable(QString::number(n)), n % 2 ? 24 : 0);
    FileBuilder f;
    f.frame(28202, 1).frame(14102, 1).panels(frameRecords == 28622 ? 600 : 300, slotMap).fillTo(frameRecords);
    return f.bytes;
}
} // namespace

class TestPanelAppend : public QObject {
    Q_OBJECT
private slots:
    void append_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("existing");
        QTest::addColumn<int>("failure");
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<int>("leftOut");
        QTest::addColumn<QList<int>>("recNmbs");
        FileBuilder cut;
        cut.panels(300, {{1, slotWith("0001")}}).bytes.chop(6);
        const int none = int(FileFailure::None);
        QTest::newRow("3 rows, slots 1 and 4") << fileWithSlots(14522, {1, 4}) << 3 << none << 300 << 0 << QList<int>{4, 7};
        QTest::newRow("duziv file: 300 slots") << fileWithSlots(14522, range(1, 300)) << 0 << none << 300 << 0 << range(1, 300);
        QTest::newRow("600r file: 600 slots") << fileWithSlots(28622, range(1, 600)) << 0 << none << 600 << 0 << range(1, 600);
        QTest::newRow("550 rows, 100 panels") << fileWithSlots(14522, range(1, 100)) << 550 << none << 300 << 50 << range(551, 600);
        QTest::newRow("no record addressed 0") << FileBuilder().frame(5, 1).bytes << 3 << none << 300 << 0 << QList<int>{};
        QTest::newRow("T but not Trans") << QByteArray("TranzP").append(12, 0) << 3 << int(FileFailure::Format) << 0 << 0
                                         << QList<int>{};
        QTest::newRow("28621 records") << fileWithSlots(28621, {1}) << 3 << int(FileFailure::Format) << 0 << 0 << QList<int>{};
        QTest::newRow("block cut") << cut.bytes << 3 << int(FileFailure::Fatal) << 300 << 0 << QList<int>{};
    }
    void append()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, existing);
        auto names = [](int typeId) { return typeId == 201 ? std::optional<QString>("Type 201") : std::nullopt; };
        const PanelAppend a = decodePanelAppend(bytes, Variant::mxr600r(), existing, names);
        QTEST(int(a.failure), "failure");
        QTEST(a.slotCount, "slotCount");
        QTEST(a.leftOut, "leftOut");
        QList<int> recNmbs;
        for (const PanelRecord &row : a.rows) {
            recNmbs << *row.slot;
            QCOMPARE(row.typeName, row.typeId == 201 ? QString("Type 201") : QString("Тип ППК не определен"));
        }
        QTEST(recNmbs, "recNmbs");
        if (!a.ok())
            QCOMPARE(a.failureBox().icon, MessageIcon::Error); // the load's format box has the exclamation
    }
};

QTEST_GUILESS_MAIN(TestPanelAppend)
#include "test_panel_append.moc"

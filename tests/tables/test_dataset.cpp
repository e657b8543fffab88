// The in-memory table: states and the pending row, positions of new rows, the hooks with their
// refusals and exceptions, detaching hooks, and what an item view sees.
#include "tables/dataset.h"

#include <QSignalSpy>
#include <QTest>
#include <stdexcept>

using namespace talvir;
using State = Dataset::State;
using Hook = Dataset::Hook;

namespace {

// A one-field table holding the given texts, filled with no hook attached.
void fill(Dataset &d, const QStringList &texts)
{
    for (const QString &t : texts) {
        QVERIFY(d.append());
        QVERIFY(d.setFieldValue(0, t));
        QVERIFY(d.post());
    }
}

QStringList texts(const Dataset &d)
{
    QStringList out;
    for (const Dataset::Row &r : d.storedRows())
        out << r.value(0).toString();
    return out;
}

} // namespace

class TestDataset : public QObject {
    Q_OBJECT

private slots:
    void insertEditPostCancel()
    {
        Dataset d({"A"});
        QCOMPARE(d.currentRow(), -1);
        QVERIFY(!d.edit()); // nothing to edit in an empty table

        QVERIFY(d.insert());
        QCOMPARE(d.state(), State::Insert);
        QCOMPARE(d.rowCount(), 1);    // the view shows the new row
        QCOMPARE(d.recordCount(), 0); // but it is not stored yet
        QVERIFY(!d.isModified());
        QVERIFY(d.setFieldValue(0, "x"));
        QVERIFY(d.isModified());
        QVERIFY(d.post());
        QCOMPARE(d.state(), State::Browse);
        QCOMPARE(texts(d), QStringList{"x"});
        QVERIFY(!d.post()); // nothing pending

        // A change is pending until posted; the stored row keeps its value meanwhile.
        QVERIFY(d.setFieldValue(0, "y"));
        QCOMPARE(d.state(), State::Edit);
        QCOMPARE(d.fieldValue(0).toString(), QString("y"));
        QCOMPARE(texts(d), QStringList{"x"});
        d.cancel();
        QCOMPARE(d.fieldValue(0).toString(), QString("x"));
        QCOMPARE(d.state(), State::Browse);

        QVERIFY(d.insert());
        d.cancel(); // a cancelled new row disappears
        QCOMPARE(d.rowCount(), 1);
        QCOMPARE(d.currentRow(), 0);
    }

    void newRowPositions_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("appending");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("insert before first") << 0 << false << QStringList{"n", "a", "b", "c"};
        QTest::newRow("insert before middle") << 1 << false << QStringList{"a", "n", "b", "c"};
        QTest::newRow("insert before last") << 2 << false << QStringList{"a", "b", "n", "c"};
        QTest::newRow("append from first") << 0 << true << QStringList{"a", "b", "c", "n"};
    }

    void newRowPositions()
    {
        QFETCH(int, current);
        QFETCH(bool, appending);
        QFETCH(QStringList, expected);
        Dataset d({"A"});
        fill(d, {"a", "b", "c"});
        QVERIFY(d.moveTo(current));
        QVERIFY(appending ? d.append() : d.insert());
        QCOMPARE(d.currentRow(), int(expected.indexOf("n")));
        QVERIFY(d.setFieldValue(0, "n"));
        QVERIFY(d.post());
        QCOMPARE(texts(d), expected);
    }

    void settlingThePendingRow_data()
    {
        QTest::addColumn<bool>("inserting");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("afterPosts");
        QTest::newRow("untouched new row dropped") << true << false << QStringList{"a", "b"} << 0;
        QTest::newRow("typed new row stored") << true << true << QStringList{"t", "a", "b"} << 1;
        QTest::newRow("opened row left alone") << false << false << QStringList{"a", "b"} << 0;
        QTest::newRow("changed row stored") << false << true << QStringList{"t", "b"} << 1;
    }

    void settlingThePendingRow()
    {
        QFETCH(bool, inserting);
        QFETCH(bool, typed);
        QFETCH(QStringList, expected);
        QFETCH(int, afterPosts);
        Dataset d({"A"});
        fill(d, {"a", "b"});
        int posts = 0;
        d.setAfterPost([&] { ++posts; });
        QVERIFY(d.first());
        QVERIFY(inserting ? d.insert() : d.edit());
        if (typed)
            QVERIFY(d.setFieldValue(0, "t"));
        QVERIFY(d.checkBrowseMode());
        QCOMPARE(d.state(), State::Browse);
        QCOMPARE(texts(d), expected);
        QCOMPARE(posts, afterPosts);
    }

    void movingAwayFromAnUntouchedNewRowKeepsTheTarget()
    {
        // The grid counts the new row; when it is dropped the rows below move up.
        Dataset d({"A"});
        fill(d, {"a", "b", "c"});
        QVERIFY(d.moveTo(1));
        QVERIFY(d.insert());
        QVERIFY(d.moveTo(3)); // "c" as the grid showed it
        QCOMPARE(d.fieldValue(0).toString(), QString("c"));
        QCOMPARE(d.rowCount(), 3);
    }

    void refusedInsertion()
    {
        Dataset d({"A"});
        fill(d, {"a"});
        d.setBeforeInsert([] { return false; });
        QSignalSpy inserted(&d, &QAbstractItemModel::rowsInserted);
        QVERIFY(!d.insert());
        QVERIFY(!d.append());
        QCOMPARE(d.state(), State::Browse);
        QCOMPARE(d.rowCount(), 1);
        QCOMPARE(inserted.count(), 0);
    }

    void refusedPostDiscardsThePendingRow_data()
    {
        QTest::addColumn<bool>("inserting");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("new row disappears") << true << QStringList{"a", "b"};
        QTest::newRow("changed row gets its value back") << false << QStringList{"a", "b"};
    }

    void refusedPostDiscardsThePendingRow()
    {
        QFETCH(bool, inserting);
        QFETCH(QStringList, expected);
        Dataset d({"A"});
        fill(d, {"a", "b"});
        int afterPosts = 0;
        d.setBeforePost([] { return false; });
        d.setAfterPost([&] { ++afterPosts; });
        QVERIFY(d.moveTo(1));
        QVERIFY(inserting ? d.insert() : d.edit());
        QVERIFY(d.setFieldValue(0, "bad"));
        QVERIFY(!d.post());
        QCOMPARE(d.state(), State::Browse);
        QCOMPARE(texts(d), expected);
        QCOMPARE(d.rowCount(), 2);
        QCOMPARE(d.fieldValue(0).toString(), QString("b"));
        QCOMPARE(afterPosts, 0);
    }

    void refusedPostStopsTheMove()
    {
        Dataset d({"A"});
        fill(d, {"a", "b", "c"});
        d.setBeforePost([] { return false; });
        QVERIFY(d.first());
        QVERIFY(d.setFieldValue(0, "bad"));
        QVERIFY(!d.moveTo(2));
        QCOMPARE(d.currentRow(), 0);
        QCOMPARE(texts(d), (QStringList{"a", "b", "c"}));
    }

    void throwingPostLeavesTheRowOpen_data()
    {
        QTest::addColumn<bool>("inserting");
        QTest::newRow("new row") << true;
        QTest::newRow("changed row") << false;
    }

    void throwingPostLeavesTheRowOpen()
    {
        QFETCH(bool, inserting);
        Dataset d({"A"});
        fill(d, {"a"});
        d.setBeforePost([]() -> bool { throw std::runtime_error("not a number"); });
        QVERIFY(inserting ? d.insert() : d.edit());
        QVERIFY(d.setFieldValue(0, "x.1"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, d.post());
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, d.moveTo(1));
        QCOMPARE(d.state(), inserting ? State::Insert : State::Edit);
        QVERIFY(d.isModified());
        QCOMPARE(d.fieldValue(0).toString(), QString("x.1"));
        QCOMPARE(d.recordCount(), 1);
        // Corrected, it goes in.
        d.setBeforePost([] { return true; });
        QVERIFY(d.setFieldValue(0, "ok"));
        QVERIFY(d.post());
        QCOMPARE(d.fieldValue(0).toString(), QString("ok"));
    }

    void deletion()
    {
        Dataset d({"A"});
        fill(d, {"a", "b", "c"});
        int afterDeletes = 0;
        d.setAfterDelete([&] { ++afterDeletes; });
        QVERIFY(d.last());
        QVERIFY(d.remove());
        QCOMPARE(d.currentRow(), 1); // the row before the deleted last one
        QCOMPARE(afterDeletes, 1);

        // A pending change is dropped with the row; a pending new row is only cancelled.
        QVERIFY(d.first());
        QVERIFY(d.setFieldValue(0, "changed"));
        QVERIFY(d.remove());
        QCOMPARE(texts(d), QStringList{"b"});
        QCOMPARE(afterDeletes, 2);
        QVERIFY(d.insert());
        QVERIFY(d.remove());
        QCOMPARE(texts(d), QStringList{"b"});
        QCOMPARE(afterDeletes, 2);

        QVERIFY(d.remove());
        QCOMPARE(d.currentRow(), -1);
        QVERIFY(!d.remove());
    }

    void hooksDetachAndAttach()
    {
        Dataset d({"A"});
        int inserts = 0, posts = 0, afterPosts = 0, scrolls = 0;
        d.setBeforeInsert([&] { ++inserts; return true; });
        d.setBeforePost([&] { ++posts; return false; });
        d.setAfterPost([&] { ++afterPosts; });
        d.setBeforeScroll([&] { ++scrolls; });
        {
            DetachedHooks quiet(d, {Hook::BeforeInsert, Hook::BeforePost, Hook::BeforeScroll});
            QVERIFY(!d.isAttached(Hook::BeforePost));
            fill(d, {"a", "b"}); // the refusing check is not asked
            QVERIFY(d.first());
        }
        QCOMPARE(texts(d), (QStringList{"a", "b"}));
        QCOMPARE(inserts + posts + scrolls, 0);
        QCOMPARE(afterPosts, 2); // still attached
        QVERIFY(d.isAttached(Hook::BeforePost));

        QVERIFY(d.next());
        QCOMPARE(scrolls, 1);
        QVERIFY(d.next()); // already on the last row: no move, no hook
        QCOMPARE(scrolls, 1);
        QVERIFY(d.append());
        QCOMPARE(inserts, 1);
        QVERIFY(d.setFieldValue(0, "c"));
        QVERIFY(!d.post());
        QCOMPARE(posts, 1);

        // A hook the caller had detached stays detached after a nested scope.
        d.detach(Hook::AfterPost);
        { DetachedHooks nested(d, {Hook::AfterPost, Hook::BeforePost}); }
        QVERIFY(!d.isAttached(Hook::AfterPost));
        QVERIFY(d.isAttached(Hook::BeforePost));
    }

    void itemViewSeesThePendingRow()
    {
        Dataset d({"A", "B"});
        d.setFieldCaption(1, "Second");
        QCOMPARE(d.headerData(1, Qt::Horizontal).toString(), QString("Second"));
        QCOMPARE(d.headerData(0, Qt::Horizontal).toString(), QString("A"));
        fill(d, {"a", "b"});
        QVERIFY(d.first());
        QSignalSpy changed(&d, &QAbstractItemModel::dataChanged);
        QVERIFY(!d.setData(d.index(1, 0), "other row")); // the view moves the current row first
        QVERIFY(d.setData(d.index(0, 1), "typed"));
        QCOMPARE(d.state(), State::Edit);
        QCOMPARE(d.data(d.index(0, 1)).toString(), QString("typed"));
        QCOMPARE(d.data(d.index(0, 0), Qt::EditRole).toString(), QString("a"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(d.flags(d.index(1, 0)) & Qt::ItemIsEditable);
        QCOMPARE(d.columnCount(), 2);
        QCOMPARE(d.fieldIndex("B"), 1);
        QCOMPARE(d.fieldIndex("C"), -1);

        QSignalSpy reset(&d, &QAbstractItemModel::modelReset);
        d.clear();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(d.rowCount(), 0);
        QCOMPARE(d.state(), State::Browse);
        QCOMPARE(d.currentRow(), -1);
    }
};

QTEST_GUILESS_MAIN(TestDataset)
#include "test_dataset.moc"

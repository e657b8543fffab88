// The console's queries objectQuery and panelQuery run over real Paradox tables through SQLite.
#include "console_tables.h"

#include "console/console_import.h"
#include "console/console_query.h"
#include "core/variant.h"
#include "console/console_sql.h"

#include <QTemporaryDir>
#include <QTest>

using namespace talvir;
using namespace dbtest;

namespace {

// The console's query texts, line by line as the object-list window holds them.
const QString kOLQr = QStringLiteral("select O.Id, O.Name, O.Enabled, T.TrName, T.IdType ")
    + QStringLiteral(" from \"ObjList.db\" as O, \"TrnObj.db\" as T where (substring(T.TrName from 2 for 6)=:PTN) and (O.Id=T.ObjRef) and (O.Enabled=true) and (O.Id<>0) order by Id");
const QString kCLQr = QStringLiteral("select L.ObjRef, L.Account, L.TypeRef, L.DefCId, L.PhoneM, L.PhoneM1, L.WT_GSM, T.NameCentral")
    + QStringLiteral(" from \"CentralList.db\" as L, \"CentralType.db\" as T")
    + QStringLiteral(" where (L.ObjRef=:POR) and (L.TypeRef=T.TypeId) and (L.GSM=true)");
const QString kCLQrDuziv = QStringLiteral("select L.ObjRef, L.Account, L.TypeRef, L.PhoneM, L.PhoneM1, L.WT_GSM, T.NameCentral")
    + QStringLiteral(" from \"CentralList.db\" as L, \"CentralType.db\" as T")
    + QStringLiteral(" where (L.ObjRef=:POR) and (L.TypeRef=T.TypeId) and (L.GSM=true)");

QList<int> column(const ConsoleQuery &q, int c)
{
    QList<int> out;
    for (const QVariantList &row : q.rows())
        out.append(row.at(c).toInt());
    return out;
}

} // namespace

class TestConsoleQuery : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void sqliteRewrite_data();
    void sqliteRewrite();
    void tablesAndParametersOfTheQueries();
    void programHoldsTheConsolesTexts();
    void objectQuery_data();
    void objectQuery();
    void panelQuery_data();
    void panelQuery();
    void aliasAndChangedTables();
    void failures_data();
    void failures();

private:
    QTemporaryDir dir_;
    QString trafic_;
    QString edit_;
};

void TestConsoleQuery::initTestCase()
{
    trafic_ = dir_.filePath(QStringLiteral("Trafic"));
    edit_ = dir_.filePath(QStringLiteral("Edit"));
    QVERIFY(QDir().mkpath(trafic_) && QDir().mkpath(edit_));
    DBTEST_WRITE(trafic_ + QStringLiteral("/ObjList.db"), objListFields(), (QList<QVariantList>{
        {10, QStringLiteral("Склад №1"), true},
        {2, QStringLiteral("Магазин"), true},
        {5, QStringLiteral("Офис (снят)"), false},
        {7, QStringLiteral("Гараж"), QVariant()},
        {0, QStringLiteral("Пульт"), true},
        {3, QStringLiteral("Кафе"), true},
        {4, QStringLiteral("Аптека"), true},
        {11, QStringLiteral("Школа"), true},
        {12, QStringLiteral("Без трансивера"), true},
        {100, QStringLiteral("Банк"), true},
    }));
    DBTEST_WRITE(trafic_ + QStringLiteral("/TrnObj.db"), trnObjFields(), (QList<QVariantList>{
        {10, QStringLiteral("N123"), 1},
        {2, QStringLiteral("N123"), 1},
        {5, QStringLiteral("N123"), 1},
        {7, QStringLiteral("N123"), 1},
        {0, QStringLiteral("N123"), 1},
        {3, QStringLiteral("N1234"), 1},
        {4, QStringLiteral("X0123"), 2},
        {11, QStringLiteral("N1234567"), 2},
        {12, QVariant(), 2},
        {100, QStringLiteral("N123"), QVariant()},
    }));
    DBTEST_WRITE(edit_ + QStringLiteral("/CentralList.db"), centralListFields(), (QList<QVariantList>{
        {10, QStringLiteral("0120"), 501, true, QStringLiteral("80501234567"), QVariant(), 30, true},
        {10, QStringLiteral("0002"), 999, false, QVariant(), QVariant(), 10, true},
        {10, QStringLiteral("0003"), 24, false, QVariant(), QVariant(), 10, false},
        {10, QStringLiteral("0004"), 24, false, QVariant(), QVariant(), 10, QVariant()},
        {10, QStringLiteral("0005"), 24, QVariant(), QStringLiteral("80671112233"), QStringLiteral("80672223344"), QVariant(), true},
        {2, QStringLiteral("0100"), 24, true, QVariant(), QVariant(), 60, true},
    }));
    DBTEST_WRITE(edit_ + QStringLiteral("/CentralType.db"), centralTypeFields(), (QList<QVariantList>{
        {24, QStringLiteral("Контакт GSM №2")}, {501, QStringLiteral("ППК тип 501")}}));
}

void TestConsoleQuery::sqliteRewrite_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("console") << QStringLiteral("(substring(T.TrName from 2 for 6)=:PTN)")
                             << QStringLiteral("(substr(T.TrName, 2, 6)=:PTN)");
    QTest::newRow("no for, letter case") << QStringLiteral("SUBSTRING( x FROM 1 )") << QStringLiteral("substr(x, 1)");
    QTest::newRow("nested") << QStringLiteral("substring(substring(a from 2) from 1 for 3)")
                            << QStringLiteral("substr(substr(a, 2), 1, 3)");
    QTest::newRow("parentheses inside") << QStringLiteral("substring(upper(a) from (1+1) for len(b))")
                                        << QStringLiteral("substr(upper(a), (1+1), len(b))");
    QTest::newRow("in a string") << QStringLiteral("x = 'substring(a from 1)'") << QStringLiteral("x = 'substring(a from 1)'");
    QTest::newRow("quoted name") << QStringLiteral("\"substring(a from 1).db\"") << QStringLiteral("\"substring(a from 1).db\"");
    QTest::newRow("comma form") << QStringLiteral("substring(a, 1, 2)") << QStringLiteral("substring(a, 1, 2)");
    QTest::newRow("other word") << QStringLiteral("mysubstring(a from 1)") << QStringLiteral("mysubstring(a from 1)");
    QTest::newRow("true stays") << QStringLiteral("(O.Enabled=true)") << QStringLiteral("(O.Enabled=true)");
}

void TestConsoleQuery::sqliteRewrite()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(toSqliteSql(in), out);
}

void TestConsoleQuery::tablesAndParametersOfTheQueries()
{
    QCOMPARE(tablesNamed(kOLQr), (QStringList{QStringLiteral("ObjList.db"), QStringLiteral("TrnObj.db")}));
    QCOMPARE(tablesNamed(kCLQr), (QStringList{QStringLiteral("CentralList.db"), QStringLiteral("CentralType.db")}));
    QCOMPARE(parametersNamed(kOLQr), QStringList{QStringLiteral("PTN")});
    QCOMPARE(parametersNamed(kCLQr), QStringList{QStringLiteral("POR")});
    QCOMPARE(parametersNamed(QStringLiteral("a=':X' and b=:Y and c=:Y")), QStringList{QStringLiteral("Y")});
}

// The texts above are written out again on purpose: the program's own must be the console's, byte for byte.
void TestConsoleQuery::programHoldsTheConsolesTexts()
{
    QCOMPARE(objectQueryText(), kOLQr);
    QCOMPARE(panelQueryText(Variant::mxr600r()), kCLQr);
    QCOMPARE(panelQueryText(Variant::mxrDuziv()), kCLQrDuziv);
}

void TestConsoleQuery::objectQuery_data()
{
    QTest::addColumn<QVariant>("ptn");
    QTest::addColumn<QList<int>>("ids");
    // Ascending Id: 2 before 10 and 100 (numbers, not texts); object 0, the disabled object 5,
    // object 7 with no Enabled value and the longer numbers 1234 and 0123 are left out.
    QTest::newRow("123") << QVariant(QStringLiteral("123")) << QList<int>{2, 10, 100};
    QTest::newRow("six characters at most") << QVariant(QStringLiteral("123456")) << QList<int>{11};
    QTest::newRow("with leading zero") << QVariant(QStringLiteral("0123")) << QList<int>{4};
    QTest::newRow("nobody") << QVariant(QStringLiteral("999")) << QList<int>{};
}

void TestConsoleQuery::objectQuery()
{
    QFETCH(QVariant, ptn);
    QFETCH(QList<int>, ids);
    ConsoleQuery q;
    q.setFolder(trafic_);
    q.setSql(kOLQr);
    q.setParam(QStringLiteral("PTN"), ptn);
    QVERIFY2(q.open(), qPrintable(q.lastError()));
    QVERIFY(q.isOpen());
    QCOMPARE(q.fieldNames(), (QStringList{QStringLiteral("Id"), QStringLiteral("Name"), QStringLiteral("Enabled"),
                                          QStringLiteral("TrName"), QStringLiteral("IdType")}));
    QCOMPARE(column(q, 0), ids);
    if (!ids.isEmpty()) {
        q.first();
        QCOMPARE(q.value(QStringLiteral("id")).typeId(), int(QMetaType::Int));
        QCOMPARE(q.value(QStringLiteral("Enabled")), QVariant(1));
        QCOMPARE(q.value(QStringLiteral("TrName")).typeId(), int(QMetaType::QString));
    }
    if (ids.size() == 3) {
        q.next();
        QCOMPARE(q.value(QStringLiteral("Name")).toString(), QStringLiteral("Склад №1"));
        QVERIFY(q.value(QStringLiteral("Nothing")).isNull());
        q.next();
        QVERIFY(q.value(4).isNull()); // IdType NULL of object 100
        q.next();
        QVERIFY(q.eof());
        QVERIFY(q.value(0).isNull());
    }
    q.close();
    QVERIFY(!q.isOpen());
    QCOMPARE(q.recordCount(), 0);
}

void TestConsoleQuery::panelQuery_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariant>("por");
    QTest::addColumn<QStringList>("accounts");
    // Object 10: type 999 is not in the type table, GSM false and GSM NULL are left out.
    QTest::newRow("MXR_600r") << kCLQr << QVariant(10) << QStringList{QStringLiteral("0120"), QStringLiteral("0005")};
    QTest::newRow("POR as text") << kCLQr << QVariant(QStringLiteral("10")) << QStringList{QStringLiteral("0120"), QStringLiteral("0005")};
    QTest::newRow("MXR_duziv") << kCLQrDuziv << QVariant(2) << QStringList{QStringLiteral("0100")};
    QTest::newRow("no panels") << kCLQr << QVariant(3) << QStringList{};
}

void TestConsoleQuery::panelQuery()
{
    QFETCH(QString, sql);
    QFETCH(QVariant, por);
    QFETCH(QStringList, accounts);
    ConsoleQuery q;
    q.setFolder(edit_);
    q.setSql(sql);
    q.setParam(QStringLiteral(":POR"), por);
    QVERIFY2(q.open(), qPrintable(q.lastError()));
    QStringList got;
    for (q.first(); !q.eof(); q.next())
        got.append(q.value(QStringLiteral("Account")).toString());
    got.sort();
    accounts.sort();
    QCOMPARE(got, accounts);
    if (sql == kCLQr && por.toInt() == 10) {
        q.first();
        QCOMPARE(q.rows().at(0), (QVariantList{10, QStringLiteral("0120"), 501, 1, QStringLiteral("80501234567"),
                                               QVariant(), 30, QStringLiteral("ППК тип 501")}));
        QCOMPARE(q.rows().at(1).at(3), QVariant()); // DefCId NULL
        QCOMPARE(q.rows().at(1).at(7), QVariant(QStringLiteral("Контакт GSM №2")));
    }
}

void TestConsoleQuery::aliasAndChangedTables()
{
    QTemporaryDir local;
    const QString trafic = local.filePath(QStringLiteral("Trafic"));
    QVERIFY(QDir().mkpath(trafic));
    DBTEST_WRITE(trafic + QStringLiteral("/ObjList.db"), objListFields(), (QList<QVariantList>{{1, QStringLiteral("Один"), true}}));
    DBTEST_WRITE(trafic + QStringLiteral("/TrnObj.db"), trnObjFields(), (QList<QVariantList>{{1, QStringLiteral("N77"), 1}, {2, QStringLiteral("N77"), 1}}));
    QVERIFY(writeAliasFile(local.path(), "[Aliases]\nTraficDB=" + trafic.toUtf8() + "\nEditDB=" + edit_.toUtf8() + "\n"));

    ConsoleQuery q;
    q.setAlias(QStringLiteral("TraficDB"));
    q.setSql(kOLQr);
    q.setParam(QStringLiteral("PTN"), QStringLiteral("77"));
    QVERIFY2(q.open(), qPrintable(q.lastError()));
    QCOMPARE(column(q, 0), QList<int>{1});

    // The console added object 2 meanwhile: the next open sees it.
    const QString objList = trafic + QStringLiteral("/ObjList.db");
    DBTEST_WRITE(objList, objListFields(), (QList<QVariantList>{{1, QStringLiteral("Один"), true}, {2, QStringLiteral("Два"), true}}));
    QFile f(objList);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    f.close();
    QVERIFY2(q.open(), qPrintable(q.lastError()));
    QCOMPARE(column(q, 0), (QList<int>{1, 2}));

    // Nothing was left beside the console's tables.
    QCOMPARE(QDir(trafic).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{QStringLiteral("ObjList.db"), QStringLiteral("TrnObj.db")}));

    // Two queries side by side, each with its own in-memory database.
    ConsoleQuery panels;
    panels.setAlias(QStringLiteral("EditDB"));
    panels.setSql(kCLQr);
    panels.setParam(QStringLiteral("POR"), 2);
    QVERIFY2(panels.open(), qPrintable(panels.lastError()));
    QCOMPARE(panels.recordCount(), 1);
    QCOMPARE(q.recordCount(), 2);
}

void TestConsoleQuery::failures_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<bool>("setParam");
    QTest::addColumn<QString>("expected");
    QTest::newRow("parameter not set") << kCLQr << QString() << false << QStringLiteral(":POR");
    QTest::newRow("table missing") << QStringLiteral("select * from \"Nowhere.db\"") << QString() << true << QStringLiteral("Nowhere.db");
    QTest::newRow("bad SQL") << QStringLiteral("select from where \"CentralType.db\"") << QString() << true << QStringLiteral("запроса");
    QTest::newRow("unknown field") << QStringLiteral("select X.Nope from \"CentralType.db\" as X") << QString() << true << QStringLiteral("Nope");
    QTest::newRow("alias missing") << kCLQr << QStringLiteral("NoSuchDB") << true << QStringLiteral("NoSuchDB");
}

void TestConsoleQuery::failures()
{
    QFETCH(QString, sql);
    QFETCH(QString, alias);
    QFETCH(bool, setParam);
    QFETCH(QString, expected);
    QVERIFY(writeAliasFile(dir_.path(), "[Aliases]\nEditDB=" + edit_.toUtf8() + "\n"));
    ConsoleQuery q;
    if (alias.isEmpty())
        q.setFolder(edit_);
    else
        q.setAlias(alias);
    q.setSql(sql);
    if (setParam)
        q.setParam(QStringLiteral("POR"), 10);
    QVERIFY(!q.open());
    QVERIFY(!q.isOpen());
    QCOMPARE(q.recordCount(), 0);
    QVERIFY2(q.lastError().contains(expected), qPrintable(q.lastError()));
}

QTEST_GUILESS_MAIN(TestConsoleQuery)
#include "test_console_query.moc"

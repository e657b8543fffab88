// kcftool diff between two files, and the panel rows to and from CSV: what is reported, what a
// spreadsheet round trip keeps, and what a bad cell refuses.
#include "kcftool_rig.h"

#include "core/cp1251.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace kcfrig;

namespace {

constexpr int kImage600 = 28622;
constexpr int kSettings600 = 28200; // 600 slots of 47 bytes
constexpr int kSlot = 47;

// Settings the encode needs to pass the write's checks; the panels come from elsewhere.
QByteArray settingsJson()
{
    return R"({"serialNo": "12345", "apn": "internet", "localIp": "10.0.0.5", "localPort": "5000",
               "gatewayIp": "10.0.0.1"})";
}

} // namespace

class TestKcftoolExchange : public QObject {
    Q_OBJECT
private slots:
    void diffReportsWhatDiffers_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("json");
        QTest::addColumn<int>("code");
        QTest::newRow("a file with itself") << false << false << 0;
        QTest::newRow("three fields changed") << true << false << 1;
        QTest::newRow("three fields changed, as JSON") << true << true << 1;
    }
    void diffReportsWhatDiffers()
    {
        QFETCH(bool, changed);
        QFETCH(bool, json);
        QFETCH(int, code);
        QTemporaryDir dir;
        const QByteArray a = randomImage(kImage600, 16);
        QByteArray b = a;
        if (changed) {
            auto flip = [&b](int address) { b[address] = char(b[address] ^ 1); };
            flip(kSettings600 + 2);               // server address, first octet
            flip(kSettings600 + 102 + 2 * 4 + 3); // reserve entry 3, last octet
            flip(4 * kSlot + 30);                 // slot 5, object number
        }
        QVERIFY(writeFile(dir.filePath("a.kcf"), kcfOf(a)));
        QVERIFY(writeFile(dir.filePath("b.kcf"), kcfOf(b, true)));

        QStringList args{"diff", dir.filePath("a.kcf"), dir.filePath("b.kcf")};
        if (json)
            args << "--json";
        const Run r = kcftool(args);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        if (!changed) {
            QCOMPARE(r.out, QByteArray());
        } else if (!json) {
            const QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 3);
            QVERIFY2(lines[0].startsWith("settings serverIp: "), qPrintable(lines[0]));
            QVERIFY2(lines[1].startsWith("reserve 3: "), qPrintable(lines[1]));
            QVERIFY2(lines[2].startsWith("panel 5 obj: "), qPrintable(lines[2]));
        } else {
            const QJsonObject o = QJsonDocument::fromJson(r.out).object();
            QCOMPARE(o["equal"].toBool(), false);
            QCOMPARE(o["settings"].toArray().size(), 1);
            QCOMPARE(o["settings"][0]["field"].toString(), "serverIp");
            QCOMPARE(o["reserve"].toArray().size(), 1);
            QCOMPARE(o["reserve"][0]["entry"].toInt(), 3);
            QCOMPARE(o["panels"].toArray().size(), 1);
            QCOMPARE(o["panels"][0]["slot"].toInt(), 5);
            QCOMPARE(o["panels"][0]["fields"].toArray().size(), 1);
            QCOMPARE(o["panels"][0]["fields"][0]["field"].toString(), "obj");
        }
    }

    void diffOfAnUnreadableSideIsBadUsage()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("a.kcf"), kcfOf(QByteArray(kImage600, '\0'))));
        const Run r = kcftool({"diff", dir.filePath("a.kcf"), dir.filePath("missing.kcf")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("missing.kcf"), qPrintable(r.err));
        QCOMPARE(r.out, QByteArray());
    }

    // 600 rows out to a spreadsheet's CSV and back into a file: the same panel slots.
    void csvRoundTripKeepsThePanelSlots()
    {
        QTemporaryDir dir;
        QJsonArray panels;
        const int types[] = {400, 201, 30, 72, 531, 100};
        for (int n = 0; n < 600; ++n) {
            const QString number = QStringLiteral("%1").arg(n, 4, 16, QLatin1Char('0')).toUpper();
            panels.append(QJsonObject{{"obj", number}, {"account", QStringLiteral("F%1").arg(n % 1000, 3, 10, QLatin1Char('0'))},
                                      {"typeId", types[n % 6]}, {"p1", QStringLiteral("+38044%1").arg(n, 7, 10, QLatin1Char('0'))},
                                      {"p2", n % 2 ? QString() : QStringLiteral("0441")}, {"waitTest", n}});
        }
        QJsonObject config = QJsonDocument::fromJson(settingsJson()).object();
        config["panels"] = panels;
        QVERIFY(writeFile(dir.filePath("rows.json"), QJsonDocument(config).toJson()));
        QVERIFY(writeFile(dir.filePath("settings.json"), settingsJson()));
        QCOMPARE(kcftool({"encode", dir.filePath("rows.json"), dir.filePath("a.kcf")}).code, 0);

        const Run csv = kcftool({"panels", "--csv", dir.filePath("a.kcf")});
        QCOMPARE(csv.code, 0);
        QVERIFY(csv.out.startsWith("\xEF\xBB\xBF№;Объект;ППК;"));
        QVERIFY(writeFile(dir.filePath("a.csv"), csv.out));
        const Run back = kcftool({"encode", "--panels", dir.filePath("a.csv"), dir.filePath("settings.json"),
                                  dir.filePath("b.kcf")});
        QVERIFY2(back.code == 0, qPrintable(back.err));

        const QByteArray a = imageOf(readFile(dir.filePath("a.kcf")), kImage600);
        const QByteArray b = imageOf(readFile(dir.filePath("b.kcf")), kImage600);
        QCOMPARE(b.left(kSettings600), a.left(kSettings600));
    }

    void csvWithABadCellWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QString text = QString::fromUtf8("№;Объект;ППК;Телефон 1;Телефон 2;Тест;Тип ППК;TypeId;Prot;A_F;Frmt\r\n");
        for (int line = 2; line <= 8; ++line)
            text += QStringLiteral("%1;%2;0120;+380441234567;;10;;400;;;\r\n").arg(line - 1).arg(line == 7 ? "001" : "0001");
        QTest::newRow("UTF-8 with the mark, ';'") << (QByteArray("\xEF\xBB\xBF") + text.toUtf8());
        QTest::newRow("Windows-1251, ','") << talvir::toCp1251(QString(text).replace(';', ','));
    }
    void csvWithABadCellWritesNothing()
    {
        QFETCH(QByteArray, csv);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("settings.json"), settingsJson()));
        QVERIFY(writeFile(dir.filePath("rows.csv"), csv));
        const Run r = kcftool({"encode", "--panels", dir.filePath("rows.csv"), dir.filePath("settings.json"),
                               dir.filePath("out.kcf")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QString::fromUtf8("line 7, column \"Объект\": Не опрелен номер объекта!")), qPrintable(r.err));
        QVERIFY2(!r.err.contains("line 6") && !r.err.contains("line 8"), qPrintable(r.err));
        QVERIFY(!QFile::exists(dir.filePath("out.kcf")));
    }
};

QTEST_GUILESS_MAIN(TestKcftoolExchange)
#include "test_kcftool_exchange.moc"

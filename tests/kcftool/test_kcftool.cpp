// kcftool as the technician runs it: encode a JSON configuration, dump it back, exit codes and
// messages for refused configurations, unreadable files and bad input.
#include "support/child_process.h"

#include <QtTest>

namespace {
struct Run {
    int code = -1;
    QByteArray out;
    QString err;
};

Run kcftool(const QStringList &args)
{
    QProcess p;
    testsupport::setSanitizerExitCode(p);
    p.start(QStringLiteral(KCFTOOL_PATH), args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// JSON written with single quotes, to keep the tables readable.
QByteArray j(const QByteArray &text)
{
    return QByteArray(text).replace('\'', '"');
}

QJsonObject parse(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QJsonObject panel(int recNmb, const char *obj, const char *account, int typeId, int prot, const char *p1,
                  const char *p2, int waitTest)
{
    return QJsonObject{{"recNmb", recNmb}, {"obj", obj},   {"account", account}, {"typeId", typeId},
                       {"prot", prot},     {"p1", p1},     {"p2", p2},           {"waitTest", waitTest},
                       {"aF", typeId >> 8}, {"frmt", 0}};
}

// A configuration whose dump is itself: panels sorted by obj with their slots, type ids the loader
// does not translate, every setting the file carries (dhcp is never read back).
QJsonObject fullConfig(bool duziv)
{
    QJsonObject o{
        {"serialNo", "99999"},       {"baud", "115200"},     {"testPeriod", 3600},
        {"apn", QString::fromUtf8("интернет.ua")}, {"serverIp", "172.16.5.1"}, {"serverPort", "10000"},
        {"localIp", "10.0.0.5"},     {"localPort", "0"},     {"gatewayIp", "10.0.0.1"},
        {"protocol", duziv ? 2 : 1}, {"conversion", duziv ? -1 : 2}, {"mode", duziv ? -1 : 1},
        {"reserveIps", QJsonArray{"1.2.3.4", "5.6.7.8"}},
    };
    o["panels"] = QJsonArray{
        panel(2, "0001", "0002", 30, 10, "", "", 0),
        panel(1, "00a0", "0120", 400, 128, "+380441234567", "0441234567", 10),
        panel(3, "00A0", "FFFF", 201, 0, "1", "2", 71582788),
    };
    return o;
}

QJsonArray inSlotOrder(const QJsonArray &sorted)
{
    QList<QJsonObject> rows;
    for (const QJsonValue &v : sorted)
        rows.append(v.toObject());
    std::sort(rows.begin(), rows.end(), [](const QJsonObject &a, const QJsonObject &b) {
        return a["recNmb"].toInt() < b["recNmb"].toInt();
    });
    QJsonArray out;
    for (const QJsonObject &r : rows)
        out.append(r);
    return out;
}
} // namespace

class TestKcftool : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("size");
        QTest::newRow("600r") << "600r" << 171744;
        QTest::newRow("duziv") << "duziv" << 87144;
    }
    void roundTrip()
    {
        QFETCH(QString, variant);
        QTemporaryDir dir;
        const QJsonObject config = fullConfig(variant == "duziv");
        QJsonObject input = config;
        input["panels"] = inSlotOrder(config["panels"].toArray()); // slots follow the array
        input["dhcp"] = 0;
        const QString json = write(dir, "c.json", QJsonDocument(input).toJson());
        const QString kcf = dir.filePath("c.kcf");
        Run enc = kcftool({"encode", "--variant", variant, json, kcf});
        QCOMPARE(enc.err, QString());
        QCOMPARE(enc.code, 0);
        QTEST(int(QFileInfo(kcf).size()), "size");

        Run dump = kcftool({"dump", "--variant=" + variant, kcf});
        QCOMPARE(dump.err, QString());
        QCOMPARE(dump.code, 0);
        QCOMPARE(parse(dump.out), config);
    }

    void absentKeysTakeTheStartValues()
    {
        QTemporaryDir dir;
        const QString json = write(dir, "c.json",
                                   j("{'serialNo': '7', 'apn': 'a', 'localIp': '10.0.0.5', 'localPort': '1', "
                                     "'gatewayIp': '10.0.0.1', 'panels': [{'obj': '0001', 'account': '0001', 'typeId': 400}]}"));
        const QString kcf = dir.filePath("c.kcf");
        QCOMPARE(kcftool({"encode", json, kcf}).code, 0);
        const QJsonObject o = parse(kcftool({"dump", kcf}).out);
        QCOMPARE(o["baud"].toString(), QString("9600"));
        QCOMPARE(o["testPeriod"].toInt(), 10);
        QCOMPARE(o["serverIp"].toString(), QString("192.168.1.3"));
        QCOMPARE(o["serverPort"].toString(), QString("9999"));
        QCOMPARE(o["protocol"].toInt(), 0);
        QCOMPARE(o["conversion"].toInt(), 0); // "A->0" as at start
        QCOMPARE(o["mode"].toInt(), 0);
        QCOMPARE(o["reserveIps"].toArray().size(), 0);
        const QJsonObject row = o["panels"].toArray().at(0).toObject();
        QCOMPARE(row["prot"].toInt(), 128); // from the protocol code table
        QCOMPARE(row["recNmb"].toInt(), 1);
    }

    void duzivFileDumpedBy600r()
    {
        QTemporaryDir dir;
        const QString json = write(dir, "c.json", QJsonDocument(fullConfig(true)).toJson());
        const QString kcf = dir.filePath("c.kcf");
        QCOMPARE(kcftool({"encode", "--variant", "duziv", json, kcf}).code, 0);
        const Run r = kcftool({"dump", kcf});
        QCOMPARE(r.code, 0);
        QCOMPARE(parse(r.out)["serverIp"].toString(), QString("172.16.5.1"));
        QCOMPARE(parse(r.out)["panels"].toArray().size(), 3);
    }

    void sixHundredSlotFileRefusedByDuziv()
    {
        QTemporaryDir dir;
        const QString json = write(dir, "c.json", QJsonDocument(fullConfig(false)).toJson());
        const QString kcf = dir.filePath("c.kcf");
        QCOMPARE(kcftool({"encode", json, kcf}).code, 0);
        const Run r = kcftool({"dump", "--variant", "duziv", kcf});
        QCOMPARE(r.code, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains(QString::fromUtf8("Формат файла не соответствует типу устройства!")));
    }

    void refusedConfiguration()
    {
        QTemporaryDir dir;
        const QString kcf = dir.filePath("c.kcf");
        write(dir, "c.kcf", "old");
        Run r = kcftool({"encode", write(dir, "e.json", "{}"), kcf});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.trimmed(), QString::fromUtf8("kcftool: Не определен заводской номер"));
        r = kcftool({"encode", write(dir, "g.json", j("{'serialNo': '1', 'localPort': '1', 'localIp': '10.0.0.5', 'apn': 'a'}")), kcf});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.trimmed(), QString::fromUtf8("kcftool: Не определен  IP - адрес шлюза"));
        r = kcftool({"encode", write(dir, "x.json", j("{'serialNo': '1', 'localPort': '1', 'localIp': '10..0.5'}")), kcf});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.trimmed(), QString("kcftool: '' is not a valid integer value"));
        QFile f(kcf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old")); // nothing written over it
    }

    void badInput_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("malformed") << QByteArray("{\"serialNo\": ") << "malformed JSON";
        QTest::newRow("not an object") << QByteArray("[]") << "malformed JSON";
        QTest::newRow("number for text") << j("{'serialNo': 12345}") << "'serialNo'";
        QTest::newRow("text for number") << j("{'testPeriod': '10'}") << "'testPeriod'";
        QTest::newRow("fraction") << j("{'protocol': 0.5}") << "'protocol'";
        QTest::newRow("protocol 2 in 600r") << j("{'protocol': 2}") << "'protocol'";
        QTest::newRow("period range") << j("{'testPeriod': 0}") << "'testPeriod'";
        QTest::newRow("unknown key") << j("{'serverport': '1'}") << "'serverport'";
        QTest::newRow("reserve not an address") << j("{'reserveIps': ['1.2.3.4', '1.2.3']}") << "'reserveIps[1]'";
        QTest::newRow("reserve not text") << j("{'reserveIps': [5]}") << "'reserveIps[0]'";
        QTest::newRow("panel type") << j("{'panels': [{'obj': '0001', 'typeId': '400'}]}") << "'panels[0].typeId'";
        QTest::newRow("panel phone too long") << j("{'panels': [{}, {'p1': '12345678901234'}]}") << "'panels[1].p1'";
        QTest::newRow("panel not an object") << j("{'panels': [1]}") << "'panels[0]'";
        QTest::newRow("apn too long") << j("{'apn': '" + QByteArray(65, 'a') + "'}") << "'apn'";
        QTest::newRow("zero inside a text") << j("{'panels': [{'obj': '0001', 'account': '12\\u00004'}]}")
                                            << "'panels[0].account'";
    }
    void badInput()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, mentions);
        QTemporaryDir dir;
        const Run r = kcftool({"encode", write(dir, "c.json", json), dir.filePath("c.kcf")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(mentions), qPrintable(r.err));
        QVERIFY(!QFile::exists(dir.filePath("c.kcf")));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"print", "a"};
        QTest::newRow("dump without file") << QStringList{"dump"};
        QTest::newRow("encode one operand") << QStringList{"encode", "a.json"};
        QTest::newRow("bad variant") << QStringList{"dump", "--variant", "900", "a.kcf"};
        QTest::newRow("variant without value") << QStringList{"dump", "a.kcf", "--variant"};
        QTest::newRow("unknown option") << QStringList{"dump", "--verbose", "a.kcf"};
    }
    void usage()
    {
        QFETCH(QStringList, args);
        const Run r = kcftool(args);
        QCOMPARE(r.code, 2);
        QVERIFY(!r.err.isEmpty());
    }

    void unreadableFiles()
    {
        QTemporaryDir dir;
        Run r = kcftool({"dump", dir.filePath("missing.kcf")});
        QCOMPARE(r.code, 1);
        r = kcftool({"dump", write(dir, "t.kcf", "TranzP")});
        QCOMPARE(r.code, 1);
        // A 600-slot file that lost its last record (28621 frame records) is neither program's.
        r = kcftool({"dump", write(dir, "d.kcf", QByteArray("TransP").append(6 * 28622, '\x01'))});
        QCOMPARE(r.code, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains(QString::fromUtf8("Формат файла не соответствует типу устройства!")));
        QVERIFY(r.err.contains("28621 frame records"));
        r = kcftool({"encode", dir.filePath("missing.json"), dir.filePath("o.kcf")});
        QCOMPARE(r.code, 1);
    }

    void fatalStillPrintsWhatWasRead()
    {
        QTemporaryDir dir;
        const QString json = write(dir, "c.json", QJsonDocument(fullConfig(true)).toJson());
        const QString kcf = dir.filePath("c.kcf");
        QCOMPARE(kcftool({"encode", "--variant", "duziv", json, kcf}).code, 0);
        QFile f(kcf);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(87144 - 6 * 380)); // ends one record into the APN field
        f.close();
        const Run r = kcftool({"dump", kcf});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QString::fromUtf8("Возникла фатальная ошибка. Часть данных не загружена.")));
        const QJsonObject o = parse(r.out);
        QCOMPARE(o["serverIp"].toString(), QString("172.16.5.1"));
        QCOMPARE(o["localPort"].toString(), QString("0"));
        QVERIFY(!o.contains("apn"));
        QVERIFY(!o.contains("panels"));
        QVERIFY(!o.contains("reserveIps"));
    }
};

QTEST_GUILESS_MAIN(TestKcftool)
#include "test_kcftool.moc"

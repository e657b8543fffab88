// kcftool fleet against transceiver-sim as a process: a plan refused whole with its lines, twenty
// transceivers on one UDP endpoint written and verified at once, four serial ports at once.
#include "kcftool_rig.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace kcfrig;

namespace {

constexpr int kImage600 = 28622;
constexpr int kImageDuziv = 14522;

// Datagrams each address received, from the simulator's log.
QHash<QString, int> receivedByAddress(const QString &log)
{
    QHash<QString, int> n;
    for (const QByteArray &line : readFile(log).split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() > 3 && words[2] == "udp" && words[3] == "<-")
            ++n[QString::fromLatin1(words[1])];
    }
    return n;
}

} // namespace

class TestKcftoolFleet : public QObject {
    Q_OBJECT
private slots:
    // Each plan is refused whole: every fault named with its line, exit 2, and nothing sent.
    void badPlans_data()
    {
        QTest::addColumn<QString>("plan");
        QTest::addColumn<QStringList>("faults");
        QTest::newRow("three faults among nine lines")
            << "target;action;file\n"
               "lan:127.0.34.2;write;good.kcf\n"
               "lan:127.0.34.3;write;good.kcf\n"
               "lan:127.0.34.4;write;missing.kcf\n"
               "lan:127.0.34.5;read;out-{serial}.kcf\n"
               "usb:;write;good.kcf\n"
               "lan:127.0.34.6;write+verify;good.kcf\n"
               "lan:127.0.34.7;write;good.kcf\n"
               "lan:127.0.34.2;write;good.kcf\n"
            << QStringList{":4: ", "missing.kcf", ":6: target 'usb:'", ":9: lan:127.0.34.2 is given on line 2 too"};
        QTest::newRow("columns") << "target,action,file name\nlan:127.0.34.2,write,good.kcf\n"
                                 << QStringList{":1: unknown column 'file name'", ":1: missing column 'file'"};
        QTest::newRow("bom, commas, columns in another order, an unknown action")
            << "\xEF\xBB\xBF" "file,target,action\ngood.kcf,lan:127.0.34.2,write\ngood.kcf,lan:127.0.34.3,erase\n"
            << QStringList{":3: action 'erase'"};
        QTest::newRow("addresses") << "target;action;file\nlan:127.0.34;write;good.kcf\nlan:0.0.0.0;write;good.kcf\n"
                                           "192.168.1.20;write;good.kcf\n"
                                   << QStringList{":2: target 'lan:127.0.34'", ":3: target 'lan:0.0.0.0'",
                                                  ":4: target '192.168.1.20': give lan:ADDRESS or usb:PORT"};
        QTest::newRow("usb reads and verifies need the LAN")
            << "target;action;file;verify\nusb:/dev/ttyX1;read;r.kcf;\nusb:/dev/ttyX2;write+verify;good.kcf;\n"
               "usb:/dev/ttyX3;write+verify;good.kcf;127.0.34.2\nusb:/dev/ttyX3;write;good.kcf;\n"
            << QStringList{":2: read: the transceiver gives its configuration over LAN only", ":3: write+verify over USB",
                           ":5: usb:/dev/ttyX3 is given on line 4 too"};
        QTest::newRow("files") << "target;action;file\nlan:127.0.34.2;write;notkcf.kcf\nlan:127.0.34.3;read;nodir/r.kcf\n"
                                  "lan:127.0.34.4;write;\n"
                               << QStringList{":2: ", "notkcf.kcf", ":3: ", "nodir/r.kcf", ":4: no file"};
        QTest::newRow("nothing to do") << "target;action;file\n;;\n" << QStringList{":1: the plan names no transceiver"};
    }
    void badPlans()
    {
        QFETCH(QString, plan);
        QFETCH(QStringList, faults);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("good.kcf"), kcfOf(QByteArray(kImage600, '\0'))));
        QVERIFY(writeFile(dir.filePath("notkcf.kcf"), "TransP"));
        QVERIFY(writeFile(dir.filePath("plan.csv"), plan.toUtf8()));
        const QString log = dir.filePath("sim.log");
        Sim sim;
        QString error;
        QVERIFY2(sim.start({"--udp", "127.0.34.2-127.0.34.7", "--log", log}, &error), qPrintable(error));

        const Run r = kcftool({"fleet", "--bind", "127.0.34.1", "--report", dir.filePath("report.csv"),
                               dir.filePath("plan.csv")});
        QCOMPARE(r.code, 2);
        const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
        for (const QString &f : faults)
            QVERIFY2(r.err.contains(f), qPrintable(f + QStringLiteral(" not in:\n") + r.err));
        // One line per fault and the closing line, no more.
        QCOMPARE(lines.size() - 1, int(std::count_if(faults.begin(), faults.end(),
                                                      [](const QString &f) { return f.startsWith(':'); })));
        QVERIFY(lines.last().endsWith("nothing was sent"));
        QVERIFY(!readFile(log).contains(" <- "));
        QVERIFY(!QFile::exists(dir.filePath("report.csv")));
    }

    // Twenty transceivers in one simulator, three of them faulty, written and verified at once over
    // one endpoint: each healthy memory holds its own file, each target's line says what a single
    // write says, and every transceiver was sent only its own transfer's datagrams.
    void twentyTransceiversAtOnce()
    {
        QTemporaryDir dir;
        QString plan = QStringLiteral("target;action;file\n");
        for (int i = 2; i <= 21; ++i) {
            const QString file = dir.filePath(QStringLiteral("unit%1.kcf").arg(i));
            QVERIFY(writeFile(file, kcfOf(randomImage(kImage600, quint32(i)))));
            plan += QStringLiteral("lan:127.0.35.%1;write+verify;%2\n").arg(i).arg(file);
        }
        QVERIFY(writeFile(dir.filePath("plan.csv"), plan.toUtf8()));
        const QString log = dir.filePath("sim.log");
        Sim sim;
        QString error;
        QVERIFY2(sim.start({"--udp", "127.0.35.2-127.0.35.21", "--save-image", dir.filePath("mem-{addr}.bin"), "--log",
                            log, "--fault", "127.0.35.5:lose-block=3", "--fault", "127.0.35.9:late-answer=7:5100",
                            "--fault", "127.0.35.14:block-answer-ms=60000"},
                           &error),
                 qPrintable(error));

        const QString report = dir.filePath("report.json");
        const Run r = kcftool({"fleet", "--bind", "127.0.35.1", "--report", report, dir.filePath("plan.csv")}, 90000);
        QCOMPARE(r.code, 1);
        const QJsonArray lines = QJsonDocument::fromJson(readFile(report)).array();
        QCOMPARE(lines.size(), 20);
        const QString written = QString::fromUtf8("Запись конфигурации трансивера № %1 выполнена");
        for (const QJsonValue &v : lines) {
            const QJsonObject line = v.toObject();
            const QString address = line["target"].toString().mid(4);
            const int unit = address.section('.', 3).toInt();
            if (unit == 14) {
                // Silent from its first block: as a single write, after its retransmissions.
                QCOMPARE(line["result"].toString(), QStringLiteral("failed"));
                QCOMPARE(line["message"].toString(), QString::fromUtf8("Трансивер не отвечает ")); // the box's own trailing space
                continue;
            }
            // The lost block and the late double answer are got over as a single write gets over them.
            QCOMPARE(line["result"].toString(), QStringLiteral("ok"));
            QCOMPARE(line["message"].toString(), written.arg(line["factoryNumber"].toString()));
            QCOMPARE(line["differingBytes"].toInt(), 0);
            const QByteArray file = readFile(dir.filePath(QStringLiteral("unit%1.kcf").arg(unit)));
            QVERIFY2(readFile(dir.filePath("mem-" + address + ".bin")) == imageOf(file, kImage600), qPrintable(address));
        }
        // A healthy transceiver received exactly what a lone write and read-back send it: the same
        // count at every one of them, so no answer went to a transfer it was not meant for.
        const QHash<QString, int> received = receivedByAddress(log);
        const int lone = received.value("127.0.35.2");
        QVERIFY(lone > 0);
        for (int i = 2; i <= 21; ++i) {
            if (i != 5 && i != 9 && i != 14)
                QCOMPARE(received.value(QStringLiteral("127.0.35.%1").arg(i)), lone);
        }
        QVERIFY2(r.err.contains("fleet: 19 of 20 succeeded"), qPrintable(r.err));
    }

    // Four serial ports written at once, each with the single write's rules.
    void fourSerialPortsAtOnce()
    {
        QTemporaryDir dir;
        QStringList simArgs{"--variant", "duziv", "--save-image", dir.filePath("mem-{link}.bin")};
        QString plan = QStringLiteral("target;action;file\n");
        for (int i = 1; i <= 4; ++i) {
            const QString file = dir.filePath(QStringLiteral("unit%1.kcf").arg(i));
            QVERIFY(writeFile(file, kcfOf(randomImage(kImageDuziv, quint32(40 + i)))));
            const QString link = dir.filePath(QStringLiteral("ttyF%1").arg(i));
            simArgs << "--serial-pty" << link;
            plan += QStringLiteral("usb:%1;write;%2\n").arg(link, file);
        }
        QVERIFY(writeFile(dir.filePath("plan.csv"), plan.toUtf8()));
        Sim sim;
        QString error;
        QVERIFY2(sim.start(simArgs, &error), qPrintable(error));

        const Run r = kcftool({"fleet", "--variant", "duziv", dir.filePath("plan.csv")}, 120000);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        for (int i = 1; i <= 4; ++i) {
            const QByteArray file = readFile(dir.filePath(QStringLiteral("unit%1.kcf").arg(i)));
            QVERIFY2(readFile(dir.filePath(QStringLiteral("mem-ttyF%1.bin").arg(i))) == imageOf(file, kImageDuziv),
                     qPrintable(QString::number(i)));
        }
    }
};

QTEST_GUILESS_MAIN(TestKcftoolFleet)
#include "test_kcftool_fleet.moc"

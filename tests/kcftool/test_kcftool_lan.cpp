// kcftool write --lan and read --lan against transceiver-sim on loopback UDP: a file written and read
// back loads the same, the transceiver's failure answer, and the gauge on a terminal.
#include "kcftool_rig.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

using namespace kcfrig;

namespace {

// A configuration with every setting and a few panels, encoded by kcftool as "Сохранить" would.
QString encodedConfig(const QTemporaryDir &dir, const QString &variant)
{
    const bool duziv = variant == "duziv";
    QJsonObject o{
        {"serialNo", "4000000001"}, {"baud", "115200"}, {"testPeriod", 3600},
        {"apn", QString::fromUtf8("интернет.ua")}, {"serverIp", "172.16.5.1"}, {"serverPort", "10000"},
        {"localIp", "10.0.0.5"}, {"localPort", "5000"}, {"gatewayIp", "10.0.0.1"},
        {"protocol", duziv ? 2 : 1}, {"conversion", duziv ? -1 : 2}, {"mode", duziv ? -1 : 1},
        {"reserveIps", QJsonArray{"1.2.3.4", "5.6.7.8"}},
    };
    QJsonArray panels;
    panels.append(QJsonObject{{"obj", "0002"}, {"account", "0120"}, {"typeId", 400}, {"p1", "+380441234567"},
                              {"waitTest", 10}});
    panels.append(QJsonObject{{"obj", "0001"}, {"account", "FFFF"}, {"typeId", 201}, {"p2", "0441234567"}});
    o["panels"] = panels;
    const QString json = dir.filePath(variant + ".json");
    const QString kcf = dir.filePath(variant + ".kcf");
    writeFile(json, QJsonDocument(o).toJson());
    const Run r = kcftool({"encode", "--variant", variant, json, kcf});
    return r.code == 0 ? kcf : QString();
}

} // namespace

class TestKcftoolLan : public QObject {
    Q_OBJECT
private slots:
    void writeThenReadGivesTheFileBack_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QString>("simAddress");
        QTest::newRow("600r") << "600r" << "127.0.31.11";
        QTest::newRow("duziv") << "duziv" << "127.0.31.12";
    }
    void writeThenReadGivesTheFileBack()
    {
        QFETCH(QString, variant);
        QFETCH(QString, simAddress);
        QTemporaryDir dir;
        const QString original = encodedConfig(dir, variant);
        QVERIFY(!original.isEmpty());
        Sim sim;
        QString error;
        QVERIFY2(sim.start({"--variant", variant, "--udp", simAddress, "--udp-port", "0"}, &error), qPrintable(error));

        const Run w = kcftool(QStringList{"write", "--variant", variant} + sim.lan() + QStringList{original});
        QCOMPARE(w.code, 0);
        QVERIFY2(w.err.endsWith(QString::fromUtf8("kcftool: Запись конфигурации трансивера № 4000000001 выполнена\n")),
                 qPrintable(w.err));
        QVERIFY2(w.err.contains("100%\n"), qPrintable(w.err));

        const QString back = dir.filePath("back.kcf");
        const Run r = kcftool(QStringList{"read", "--variant=" + variant} + sim.lan() + QStringList{back});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.endsWith(QString::fromUtf8("kcftool: Чтение конфигурации трансивера № 4000000001 выполнено.\n")),
                 qPrintable(r.err));
        QVERIFY2(r.err.contains("100%\n"), qPrintable(r.err));

        const Run a = kcftool({"dump", "--variant", variant, original});
        const Run b = kcftool({"dump", "--variant", variant, back});
        QCOMPARE(a.code, 0);
        QCOMPARE(b.code, 0);
        QVERIFY(a.out.contains("\"recNmb\""));
        QCOMPARE(QJsonDocument::fromJson(b.out), QJsonDocument::fromJson(a.out));
        // Nothing had been read from the transceiver before the write: even settings bytes 94-96 agree.
        QVERIFY(readFile(back) == readFile(original));
    }

    void failureAnswerIsReported()
    {
        QTemporaryDir dir;
        const QString kcf = encodedConfig(dir, "duziv");
        QVERIFY(!kcf.isEmpty());
        Sim sim;
        QString error;
        QVERIFY2(sim.start({"--variant", "duziv", "--udp", "127.0.31.13", "--udp-port", "0", "--config-result", "bad"},
                           &error),
                 qPrintable(error));
        const Run r = kcftool(QStringList{"write", "--variant", "duziv"} + sim.lan() + QStringList{kcf});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.endsWith(QString::fromUtf8("kcftool: Ошибка при записи конфигурации\n")), qPrintable(r.err));
        QVERIFY2(!r.err.contains(QString::fromUtf8("выполнена")), qPrintable(r.err));
    }

    // Two configurators on one PC: the second finds the local address and port taken, says by whom,
    // and sends nothing; the first one's read goes on untouched.
    void secondConfiguratorFindsThePortTaken()
    {
        QTemporaryDir dir;
        Sim sim;
        QString error;
        QVERIFY2(sim.start({"--udp", "127.0.33.2", "--latency-ms", "5"}, &error),
                 qPrintable(error));
        const QStringList lan{"--lan", "127.0.33.2", "--bind", "127.0.33.1", "--port", "9999"};

        QProcess first;
        testsupport::setSanitizerExitCode(first);
        first.setReadChannel(QProcess::StandardError);
        first.start(kKcftool, QStringList{"read"} + lan + QStringList{dir.filePath("first.kcf")});
        QVERIFY(first.waitForStarted(5000));
        // The first one holds the endpoint once it says it is connecting.
        QByteArray firstErr;
        while (!firstErr.contains('%') && first.waitForReadyRead(10000))
            firstErr += first.readAllStandardError();
        QVERIFY2(firstErr.contains('%'), firstErr.constData());

        const Run second = kcftool(QStringList{"read"} + lan + QStringList{dir.filePath("second.kcf")});
        QCOMPARE(second.code, 1);
        const QString owner = QStringLiteral("port 9999 is used by kcftool (PID %1)").arg(first.processId());
        QVERIFY2(second.err.contains(owner), qPrintable(second.err));
        QVERIFY(!QFile::exists(dir.filePath("second.kcf")));

        QVERIFY(first.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        firstErr += first.readAllStandardError();
        QVERIFY2(firstErr.endsWith(QString::fromUtf8("выполнено.\n").toUtf8()),
                 firstErr.constData());
        QCOMPARE(kcftool({"dump", dir.filePath("first.kcf")}).code, 0);
    }

    // On a terminal the percentage is rewritten in place and the message starts a line of its own.
    void gaugeUpdatesInPlaceOnATerminal()
    {
        QTemporaryDir dir;
        const QString kcf = encodedConfig(dir, "duziv");
        QVERIFY(!kcf.isEmpty());
        Sim sim;
        QString error;
        QVERIFY2(sim.start({"--variant", "duziv", "--udp", "127.0.31.14", "--udp-port", "0"}, &error), qPrintable(error));

        int master = -1, slave = -1;
        QVERIFY(::openpty(&master, &slave, nullptr, nullptr, nullptr) == 0);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        QProcess tool;
        testsupport::setSanitizerExitCode(tool);
        tool.setChildProcessModifier([slave] { ::dup2(slave, STDERR_FILENO); });
        tool.start(kKcftool, QStringList{"write", "--variant", "duziv"} + sim.lan() + QStringList{kcf});
        QVERIFY(tool.waitForFinished(20000));
        ::close(slave);
        QByteArray screen;
        char buf[4096];
        for (ssize_t n; (n = ::read(master, buf, sizeof buf)) > 0;)
            screen.append(buf, n);
        ::close(master);
        QCOMPARE(tool.exitCode(), 0);
        screen.replace("\r\n", "\n"); // the terminal's own output processing
        // "Соединение с ..." on a line, then one percentage rewritten in place, rising to 100, then the
        // message on a line of its own.
        const QByteArray message = QString::fromUtf8("\nkcftool: Запись конфигурации трансивера № 4000000001 выполнена\n").toUtf8();
        QVERIFY2(screen.endsWith(message), screen.constData());
        const qsizetype gaugeAt = screen.indexOf('\r');
        QVERIFY2(gaugeAt > 0 && screen.at(gaugeAt - 1) == '\n', screen.constData());
        const QList<QByteArray> shown = screen.mid(gaugeAt + 1, screen.size() - message.size() - gaugeAt - 1).split('\r');
        QVERIFY2(shown.size() > 20, screen.constData());
        int last = -1;
        for (const QByteArray &p : shown) {
            QVERIFY2(QRegularExpression("^[ 1][ 0-9][0-9]%$").match(QString::fromLatin1(p)).hasMatch(), p.constData());
            const int value = p.trimmed().chopped(1).toInt();
            QVERIFY2(value > last, p.constData());
            last = value;
        }
        QCOMPARE(last, 100);
    }
};

QTEST_GUILESS_MAIN(TestKcftoolLan)
#include "test_kcftool_lan.moc"

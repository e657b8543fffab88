// transceiver-sim's command line for many transceivers: address ranges, repeated links, a factory
// number and files of their own for each, and options given to one transceiver with --fault.
#include "sim_options.h"

#include <QtTest>

using namespace talvir;

namespace {

// One transceiver as "ENDS NUMBER [save=FILE] [image=FILE] [the options that differ from the default]".
QString describe(const SimUnit &u)
{
    QStringList ends;
    if (!u.udpAddress.isNull())
        ends << u.udpAddress.toString();
    if (!u.serialPty.isEmpty())
        ends << u.serialPty;
    QStringList parts{ends.join(QLatin1Char('+')), QString::number(u.settings.statusFactoryNumber)};
    const SimSettings &s = u.settings;
    auto add = [&](bool set, const QString &text) {
        if (set)
            parts << text;
    };
    add(!s.saveImagePath.isEmpty(), QStringLiteral("save=") + s.saveImagePath);
    add(!u.imagePath.isEmpty(), QStringLiteral("image=") + u.imagePath);
    add(s.loseWriteBlock != 0, QStringLiteral("lose-block=%1").arg(s.loseWriteBlock));
    add(s.silentAfter >= 0, QStringLiteral("silent-after=%1").arg(s.silentAfter));
    add(s.noReady, QStringLiteral("no-ready"));
    add(s.latencyMs != 0, QStringLiteral("latency-ms=%1").arg(s.latencyMs));
    add(s.blockAnswerMs != 0, QStringLiteral("block-answer-ms=%1").arg(s.blockAnswerMs));
    add(s.serialBaudPace != 0, QStringLiteral("serial-baud-pace=%1").arg(s.serialBaudPace));
    add(!s.replyBytes.isEmpty(), QStringLiteral("reply-bytes=%1").arg(s.replyBytes.size()));
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestSimOptions : public QObject {
    Q_OBJECT

private slots:
    void parses_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QStringList>("units"); // as describe() shows them, when the line is good
        QTest::addColumn<QString>("error");     // the start of the message, when it is bad

        // Good lines.
        QTest::newRow("one address and one link: one transceiver")
            << "--udp 127.0.0.2 --serial-pty /tmp/t --save-image /tmp/m.bin"
            << QStringList{"127.0.0.2+/tmp/t 12345 save=/tmp/m.bin"} << QString();
        QTest::newRow("repeated and ranges, numbered in the order given")
            << "--udp 127.0.0.9 --udp 127.0.0.2-127.0.0.3 --serial-no 100"
            << QStringList{"127.0.0.9 100", "127.0.0.2 101", "127.0.0.3 102"} << QString();
        QTest::newRow("files named by address, link and number")
            << "--udp 127.0.0.2 --serial-pty /tmp/ttyA --serial-pty /tmp/ttyB --save-image /tmp/{addr}{link}-{serial} "
               "--image /tmp/i-{serial}"
            << QStringList{"127.0.0.2 12345 save=/tmp/127.0.0.2-12345 image=/tmp/i-12345",
                           "/tmp/ttyA 12346 save=/tmp/ttyA-12346 image=/tmp/i-12346",
                           "/tmp/ttyB 12347 save=/tmp/ttyB-12347 image=/tmp/i-12347"}
            << QString();
        QTest::newRow("a fault for all, one's own instead")
            << "--udp 127.0.0.2-127.0.0.3 --lose-block 3 --fault 127.0.0.3:lose-block=5"
            << QStringList{"127.0.0.2 12345 lose-block=3", "127.0.0.3 12346 lose-block=5"} << QString();
        QTest::newRow("flags and repeated options by target")
            << "--udp 127.0.0.2-127.0.0.3 --fault 127.0.0.3:no-ready --serial-pty /tmp/a --serial-pty /tmp/b "
               "--fault /tmp/b:silent-after=100 --fault /tmp/b:reply-byte=5:0x25 --fault /tmp/b:reply-byte=6:2 "
               "--fault /tmp/a:latency-ms=7"
            << QStringList{"127.0.0.2 12345", "127.0.0.3 12346 no-ready", "/tmp/a 12347 latency-ms=7",
                           "/tmp/b 12348 silent-after=100 reply-bytes=2"}
            << QString();
        QTest::newRow("pacing like real devices")
            << "--udp 127.0.0.2 --serial-pty /tmp/t --block-answer-ms 20 --serial-baud-pace 115200"
            << QStringList{"127.0.0.2+/tmp/t 12345 block-answer-ms=20 serial-baud-pace=115200"} << QString();

        // Bad lines: the message names the option.
        const QStringList none;
        QTest::newRow("range backwards") << "--udp 127.0.0.5-127.0.0.2" << none << "--udp:";
        QTest::newRow("address twice") << "--udp 127.0.0.2 --udp 127.0.0.1-127.0.0.3" << none
                                       << "--udp: 127.0.0.2 is given twice";
        QTest::newRow("range too large") << "--udp 10.0.0.0-10.0.255.255" << none << "--udp:";
        QTest::newRow("link twice") << "--serial-pty /tmp/a --serial-pty /tmp/a" << none
                                    << "--serial-pty: /tmp/a is given twice";
        QTest::newRow("one save file for several") << "--udp 127.0.0.2-127.0.0.3 --save-image /tmp/m.bin" << none
                                                   << "--save-image: 127.0.0.2 and 127.0.0.3";
        QTest::newRow("unknown field in save name") << "--udp 127.0.0.2 --save-image /tmp/{adr}.bin" << none
                                                    << "--save-image: {adr}";
        QTest::newRow("fault for an address not served")
            << "--udp 127.0.0.2-127.0.0.3 --fault 127.0.0.9:lose-block=5" << none << "--fault:";
        QTest::newRow("fault value missing") << "--udp 127.0.0.2 --fault 127.0.0.2:lose-block" << none
                                             << "--fault \"127.0.0.2:lose-block\": --lose-block needs a value";
        QTest::newRow("whole-simulator option") << "--udp 127.0.0.2 --fault 127.0.0.2:udp-port=5" << none
                                                << "--fault \"127.0.0.2:udp-port=5\": --udp-port is set for the whole";
        QTest::newRow("bad value inside") << "--udp 127.0.0.2 --fault 127.0.0.2:lose-block=x" << none
                                          << "--fault \"127.0.0.2:lose-block=x\": --lose-block: \"x\"";
        QTest::newRow("LAN fault on a serial end")
            << "--serial-pty /tmp/a --serial-pty /tmp/b --fault /tmp/a:lose-block=5" << none
            << "--fault \"/tmp/a:lose-block=5\": --lose-block acts on the LAN end";
        QTest::newRow("factory numbers past the top") << "--udp 127.0.0.2-127.0.0.4 --serial-no 65534" << none
                                                      << "--serial-no:";
    }
    void parses()
    {
        QFETCH(QString, args);
        QFETCH(QStringList, units);
        QFETCH(QString, error);
        SimOptions options;
        QString message;
        const bool ok = parseSimOptions(QStringList{QStringLiteral("transceiver-sim")} + args.split(QLatin1Char(' ')),
                                        &options, &message);
        if (!error.isEmpty()) {
            QVERIFY2(!ok, qPrintable(args));
            QVERIFY2(message.startsWith(error), qPrintable(message));
            return;
        }
        QVERIFY2(ok, qPrintable(message));
        QStringList got;
        for (const SimUnit &u : std::as_const(options.units))
            got << describe(u);
        QCOMPARE(got, units);
    }
};

QTEST_GUILESS_MAIN(TestSimOptions)
#include "test_sim_options.moc"

// Several transceivers in one simulator, set up from its command line: each address its own memory and
// saved image, and a fault given to one of them plays there only.
#include "simulator/sim_test_util.h"

#include "sim/transceiver_sim.h"
#include "sim_options.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace talvir;
using namespace simtest;

namespace {

// The datagram sent until it is answered, as the configurator repeats it; counts the repeats.
QByteArray answered(UdpClient &client, const QByteArray &datagram, int *repeats)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QByteArray answer = client.exchange(datagram, 400);
        if (!answer.isEmpty())
            return answer;
        ++*repeats;
    }
    return {};
}

bool startRack(SimRack &rack, const QString &args, SimOptions *options)
{
    QString error;
    QStringList started;
    QStringList warnings;
    if (!parseSimOptions(QStringList{QStringLiteral("transceiver-sim")} + args.split(QLatin1Char(' ')), options,
                         &error)
        || !rack.start(options->units, options->udpPort, &started, &warnings, &error)) {
        qWarning() << error;
        return false;
    }
    return true;
}

} // namespace

class TestSimRack : public QObject {
    Q_OBJECT

private slots:
    // Three addresses written block by block in turn, each with its own image; the second one loses
    // its block 2 once.
    void addressesKeepTheirOwnMemory()
    {
        QTemporaryDir dir;
        SimRack rack;
        SimOptions options;
        QVERIFY(startRack(rack,
                          QStringLiteral("--udp 127.0.0.2-127.0.0.4 --udp-port 0 --no-status --save-image %1 "
                                         "--fault 127.0.0.3:lose-block=2")
                              .arg(dir.filePath(QStringLiteral("mem-{addr}.bin"))),
                          &options));
        constexpr int kUnits = 3;
        QCOMPARE(rack.transceivers().size(), kUnits);

        UdpClient clients[kUnits];
        QByteArray images[kUnits];
        int repeats[kUnits] = {};
        for (int i = 0; i < kUnits; ++i) {
            const QHostAddress address(QStringLiteral("127.0.0.%1").arg(i + 2));
            TransceiverSim *sim = rack.atAddress(address);
            QVERIFY(sim);
            QVERIFY(clients[i].bind());
            clients[i].setPeer(address, sim->udpPort());
            images[i] = patternImage(28622, 40 + i);
            QCOMPARE(answered(clients[i], "AT+DATF", &repeats[i]), QByteArray("READY"));
        }
        for (int b = 1; b <= 121; ++b) {
            for (int i = 0; i < kUnits; ++i) {
                const QByteArray data = b <= 120 ? writeBlock(b, images[i].mid((b - 1) * 235, 235))
                                                 : writeBlock(1, images[i].mid(28200, 422));
                QCOMPARE(answered(clients[i], data, &repeats[i]), QByteArray("OK"));
            }
        }
        for (int i = 0; i < kUnits; ++i) {
            clients[i].send("AT+FPDE");
            QCOMPARE(answered(clients[i], "AT+CONFIG", &repeats[i]), QByteArray("GOOD"));
        }

        QCOMPARE(QList<int>(repeats, repeats + kUnits), (QList<int>{0, 1, 0}));
        for (int i = 0; i < kUnits; ++i) {
            const QString address = QStringLiteral("127.0.0.%1").arg(i + 2);
            QCOMPARE(rack.atAddress(QHostAddress(address))->memory().bytes(), images[i]);
            QCOMPARE(readFile(dir.filePath(QStringLiteral("mem-%1.bin").arg(address))), images[i]);
        }
    }
};

QTEST_GUILESS_MAIN(TestSimRack)
#include "test_sim_rack.moc"

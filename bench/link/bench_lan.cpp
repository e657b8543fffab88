// bench_lan: a full LAN write and a full LAN read against transceiver-sim on loopback, run as its own
// process. The protocol's own floor is one round trip per acknowledged block, N/5 + 1 of them; the
// round trip is measured first with single "AT+CONFIG"/"OK" exchanges.
//
//   bench_lan [--variant 600r|duziv] [--runs N] [--sim PATH]
#include "bench_support.h"

#include <QTemporaryDir>
#include <QUdpSocket>

#include <cstdio>

using namespace bench;

namespace {

// Median and minimum of single "AT+CONFIG"/"OK" round trips, in seconds; 0 when none came back.
std::pair<double, double> roundTrip(const QHostAddress &sim, quint16 port, int count)
{
    QUdpSocket probe;
    if (!probe.bind(QHostAddress(QHostAddress::LocalHost), 0))
        return {0, 0};
    std::vector<double> rtts;
    char buf[64];
    for (int i = 0; i < count; ++i) {
        const double t0 = nowSeconds(CLOCK_MONOTONIC);
        probe.writeDatagram(QByteArrayLiteral("AT+CONFIG"), sim, port);
        bool ok = false;
        while (!ok && probe.waitForReadyRead(1000)) {
            while (probe.hasPendingDatagrams())
                ok = probe.readDatagram(buf, sizeof buf) == 2 || ok;
        }
        if (ok)
            rtts.push_back(nowSeconds(CLOCK_MONOTONIC) - t0);
    }
    if (rtts.empty())
        return {0, 0};
    return {median(rtts), *std::min_element(rtts.begin(), rtts.end())};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    BenchArgs opts{QStringLiteral(TRANSCEIVER_SIM_PATH), 5};
    if (!parseBenchArgs(app.arguments(), opts))
        return 2;
    const QString &program = opts.program;
    const int runs = opts.runs;
    const Variant *variant = opts.variant;

    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("memory.bin"));
    SimProcess sim;
    if (!sim.start(program, {QStringLiteral("--variant"), variant->shortName, QStringLiteral("--udp"),
                             QStringLiteral("127.0.0.2"), QStringLiteral("--udp-port"), QStringLiteral("0"),
                             QStringLiteral("--no-status"), QStringLiteral("--save-image"), saved}))
        return 1;
    const QHostAddress simAddress(sim.udpAddress);

    const auto [rtt, rttMin] = roundTrip(simAddress, sim.udpPort, 500);
    if (rtt <= 0) {
        std::fprintf(stderr, "no answer to AT+CONFIG from %s:%u\n", qPrintable(sim.udpAddress), sim.udpPort);
        return 1;
    }
    const int blocks = variant->objectBlocks() + 1; // acknowledged blocks of a write, blocks of a read
    const double floor = blocks * rtt;
    std::printf("LAN %s: %d bytes, %d object blocks + settings block; AT+CONFIG/OK round trip median %.1f us "
                "(min %.1f us) -> floor %d x RTT = %.2f ms\n",
                qPrintable(variant->programName), variant->imageSize(), variant->objectBlocks(), rtt * 1e6,
                rttMin * 1e6, blocks, floor * 1e3);

    Configurator conf(*variant, Timing());
    conf.lan.setLocalEndpoint(QHostAddress(QHostAddress::LocalHost), 0);
    conf.lan.setRemotePort(sim.udpPort);
    if (!conf.lan.connectTo(sim.udpAddress) || !pumpUntil([&] { return conf.connectDone; }, 10000) || !conf.connected) {
        std::fprintf(stderr, "no LAN link to %s: %s\n", qPrintable(sim.udpAddress), qPrintable(conf.lan.lastError()));
        return 1;
    }

    std::vector<double> writeWalls, readWalls;
    for (int run = 1; run <= runs; ++run) {
        const QByteArray image = randomImage(variant->imageSize(), quint32(run * 7));

        Stopwatch w;
        conf.finished = false;
        w.start();
        if (!conf.lanTransfer.startWrite(image)) {
            std::fprintf(stderr, "run %d: the write did not start\n", run);
            return 1;
        }
        if (!pumpUntil([&] { return conf.finished; }, 120000) || !conf.result.succeeded()) {
            std::fprintf(stderr, "run %d: write %s %s\n", run, outcomeName(conf.result.outcome),
                         qPrintable(linktext::transferMessage(conf.result, QStringLiteral("1")).text));
            return 1;
        }
        w.stop();
        const bool savedSame = pumpUntil([&] { return readFile(saved) == image; }, 3000);

        Stopwatch r;
        conf.finished = false;
        r.start();
        if (!conf.lanTransfer.startRead()) {
            std::fprintf(stderr, "run %d: the read did not start\n", run);
            return 1;
        }
        if (!pumpUntil([&] { return conf.finished; }, 120000) || !conf.result.succeeded()) {
            std::fprintf(stderr, "run %d: read %s %s\n", run, outcomeName(conf.result.outcome),
                         qPrintable(linktext::transferMessage(conf.result, QStringLiteral("1")).text));
            return 1;
        }
        r.stop();
        const bool readSame = conf.lanTransfer.readImage() == image;

        writeWalls.push_back(w.wall);
        readWalls.push_back(r.wall);
        std::printf("run %d: write %.2f ms (%.2f x floor, CPU %.2f ms, image %s), read %.2f ms (%.2f x floor, "
                    "CPU %.2f ms, image %s)\n",
                    run, w.wall * 1e3, w.wall / floor, w.cpu * 1e3, savedSame ? "matches" : "DIFFERS", r.wall * 1e3,
                    r.wall / floor, r.cpu * 1e3, readSame ? "matches" : "DIFFERS");
        if (!savedSame || !readSame)
            return 1;
    }
    std::printf("median: write %.2f ms = %.2f x floor (%d exchanges on the wire), read %.2f ms = %.2f x floor "
                "(%d exchanges)\n",
                median(writeWalls) * 1e3, median(writeWalls) / floor, variant->objectBlocks() + 3,
                median(readWalls) * 1e3, median(readWalls) / floor, variant->objectBlocks() + 2);
    sim.stop();
    return 0;
}

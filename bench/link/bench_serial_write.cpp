// bench_serial_write: a full configuration written over a pseudo-terminal to transceiver-sim running
// as its own process. Prints the wall time, frames per second and the configurator's CPU time per
// frame (this process only; the simulator's CPU is shown apart).
//
//   bench_serial_write [--variant 600r|duziv] [--runs N] [--sim PATH]
#include "bench_support.h"

#include <QTemporaryDir>

#include <cstdio>

using namespace bench;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    BenchArgs opts{QStringLiteral(TRANSCEIVER_SIM_PATH), 3};
    if (!parseBenchArgs(app.arguments(), opts))
        return 2;
    const QString &program = opts.program;
    const int runs = opts.runs;
    const Variant *variant = opts.variant;

    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("memory.bin"));
    SimProcess sim;
    if (!sim.start(program, {QStringLiteral("--variant"), variant->shortName, QStringLiteral("--serial-pty"),
                             dir.filePath(QStringLiteral("ttyTalvir")), QStringLiteral("--save-image"), saved}))
        return 1;

    Configurator conf(*variant, Timing());
    if (!conf.serial.open(sim.serialDevice)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(sim.serialDevice), qPrintable(conf.serial.lastError()));
        return 1;
    }

    const int n = variant->imageSize();
    std::printf("serial write of %s: %d bytes, %d frames on the line (n + 1), %s\n", qPrintable(variant->programName),
                n, n + 1, qPrintable(sim.serialDevice));
    std::vector<double> walls, fps, cpuPerFrame;
    for (int run = 1; run <= runs; ++run) {
        const QByteArray image = randomImage(n, quint32(run));
        SendList list;
        for (int a = 0; a < n; ++a)
            list.queueWriteFrame(std::uint16_t(a), static_cast<unsigned char>(image.at(a)));
        QFile::remove(saved);

        // The write needs the link up: the keep-alive brings it up after the port opens and after
        // every write.
        bool started = false;
        Stopwatch sw;
        conf.finished = false;
        pumpUntil(
            [&] {
                if (!conf.serial.isLinkUp())
                    return false;
                sw.start();
                return (started = conf.serialWrite.start(list));
            },
            5000);
        if (!started) {
            std::fprintf(stderr, "run %d: the link did not come up\n", run);
            return 1;
        }
        const double simCpu0 = sim.cpuSeconds();
        if (!pumpUntil([&] { return conf.finished; }, 600000)) {
            std::fprintf(stderr, "run %d: the write did not finish\n", run);
            return 1;
        }
        sw.stop();
        const double simCpu = sim.cpuSeconds() - simCpu0;
        if (!conf.result.succeeded()) {
            std::fprintf(stderr, "run %d: %s: %s\n", run, outcomeName(conf.result.outcome),
                         qPrintable(linktext::transferMessage(conf.result, QStringLiteral("1")).text));
            return 1;
        }
        // The simulator rewrites its image after the last address; it must be what was sent.
        const bool same = pumpUntil([&] { return readFile(saved) == image; }, 3000);
        const int frames = n + 1;
        walls.push_back(sw.wall);
        fps.push_back(frames / sw.wall);
        cpuPerFrame.push_back(sw.cpu / frames * 1e6);
        std::printf("run %d: %.3f s wall, %.0f frames/s, configurator CPU %.2f us/frame (user %.3f s, sys %.3f s, "
                    "%ld voluntary switches), simulator CPU %.2f us/frame, image %s\n",
                    run, sw.wall, frames / sw.wall, sw.cpu / frames * 1e6, sw.user, sw.system, sw.voluntarySwitches,
                    simCpu / frames * 1e6, same ? "matches" : "DIFFERS");
        if (!same)
            return 1;
    }
    std::printf("median: %.3f s wall, %.0f frames/s, configurator CPU %.2f us/frame\n", median(walls), median(fps),
                median(cpuPerFrame));
    conf.serial.close();
    sim.stop();
    return 0;
}

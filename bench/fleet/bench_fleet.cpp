// kcftool fleet as a technician runs it, against transceiver-sim paced like real transceivers (each LAN
// block answered after 20 ms, each serial exchange at the time a 115 200-baud line takes): 60 LAN
// transceivers written and verified at once against one alone, the configurator's CPU for the 60
// against a single `kcftool write --verify`, its peak memory, and 8 serial ports at once against one.
#include "support/sim_process.h"
#include "support/wait_util.h"

#include "files/config_file.h"
#include "link/frames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <ctime>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char *const kSim = TRANSCEIVER_SIM_PATH;
const char *const kKcftool = KCFTOOL_PATH;

struct Figures {
    double wall = 0;
    double cpu = 0;     // user + system of the kcftool process
    long maxRssKb = 0;
    int exitCode = -1;
};

double monotonic()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Runs kcftool with args, its output to /dev/null, and takes its own clocks from wait4.
Figures runKcftool(const QStringList &args)
{
    std::vector<QByteArray> owned{QByteArray(kKcftool)};
    for (const QString &a : args)
        owned.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : owned)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    Figures f;
    const double t0 = monotonic();
    const pid_t pid = fork();
    if (pid == 0) {
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, STDERR_FILENO);
        ::dup2(devnull, STDOUT_FILENO);
        ::execv(kKcftool, argv.data());
        _exit(127);
    }
    int status = 0;
    rusage ru{};
    ::wait4(pid, &status, 0, &ru);
    f.wall = monotonic() - t0;
    f.cpu = double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    f.maxRssKb = ru.ru_maxrss;
    f.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return f;
}

bool startSim(QProcess &sim, const QStringList &args)
{
    sim.start(QString::fromLatin1(kSim), args);
    if (!sim.waitForStarted(5000))
        return false;
    QByteArray out;
    while (!out.contains("variant") && sim.waitForReadyRead(10000))
        out += sim.readAllStandardOutput();
    return out.contains("variant");
}

QString configFile(const QDir &dir, int index, int imageSize)
{
    const QByteArray image = testsupport::randomImage(imageSize, quint32(1000 + index));
    talvir::SendList list;
    for (int a = 0; a < imageSize; ++a)
        list.queueWriteFrame(std::uint16_t(a), static_cast<unsigned char>(image.at(a)));
    const QString path = dir.filePath(QStringLiteral("unit%1.kcf").arg(index));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(talvir::configFileBytes(list));
    return path;
}

QString plan(const QDir &dir, const QString &name, const QStringList &lines)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("target;action;file\n" + lines.join('\n').toUtf8() + "\n");
    return path;
}

void report(const char *what, const Figures &f)
{
    std::printf("%-44s wall %6.2f s  cpu %6.2f s  peak %6.1f MB  exit %d\n", what, f.wall, f.cpu, f.maxRssKb / 1024.0,
                f.exitCode);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    constexpr int kImage = 28622; // 600 slots
    constexpr int kLan = 60;
    constexpr int kPorts = 8;

    // LAN: 60 transceivers in one simulator, each storing a block in 20 ms.
    QStringList lan;
    for (int i = 0; i < kLan; ++i)
        lan << QStringLiteral("lan:127.0.37.%1;write+verify;%2").arg(i + 2).arg(configFile(dir, i, kImage));
    {
        QProcess sim;
        if (!startSim(sim, {"--udp", "127.0.37.2-127.0.37.61", "--block-answer-ms", "20"}))
            return 1;
        const Figures all = runKcftool({"fleet", "--parallel", "60", "--bind", "127.0.37.1", plan(dir, "lan60.csv", lan)});
        const Figures one = runKcftool({"fleet", "--bind", "127.0.37.1", plan(dir, "lan1.csv", {lan.first()})});
        const Figures single = runKcftool({"write", "--verify", "--lan", "127.0.37.2", "--bind", "127.0.37.1",
                                           dir.filePath("unit0.kcf")});
        testsupport::stopProcess(sim, 2000);
        report("LAN: 60 written and verified at once", all);
        report("LAN: one alone (fleet)", one);
        report("LAN: one alone (kcftool write --verify)", single);
        std::printf("  60 at once / one alone: %.2fx (target <= 1.5x)\n", all.wall / one.wall);
        std::printf("  CPU per transceiver in the 60 / single write --verify: %.2fx (target <= 2x)\n",
                    all.cpu / kLan / single.cpu);
        std::printf("  peak memory of the 60: %.1f MB (target < 150 MB)\n", all.maxRssKb / 1024.0);
    }

    // USB: 8 pseudo-terminals, each exchange at the 115 200-baud line's pace.
    QStringList usb;
    QStringList simArgs{"--serial-baud-pace", "115200"};
    for (int i = 0; i < kPorts; ++i) {
        const QString link = dir.filePath(QStringLiteral("ttyB%1").arg(i));
        simArgs << "--serial-pty" << link;
        usb << QStringLiteral("usb:%1;write;%2").arg(link, dir.filePath(QStringLiteral("unit%1.kcf").arg(i)));
    }
    {
        QProcess sim;
        if (!startSim(sim, simArgs))
            return 1;
        const Figures all = runKcftool({"fleet", plan(dir, "usb8.csv", usb)});
        const Figures one = runKcftool({"fleet", plan(dir, "usb1.csv", {usb.first()})});
        testsupport::stopProcess(sim, 2000);
        report("USB: 8 ports written at once", all);
        report("USB: one port alone", one);
        std::printf("  8 at once / one alone: %.2fx (target <= 1.5x)\n", all.wall / one.wall);
    }
    return 0;
}

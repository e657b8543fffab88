// What the link benchmarks share: the transceiver-sim program run as a separate process (so that its
// CPU time does not mix with ours), waiting on the event loop, the process's own clocks, and the
// configurator's link stack on the real transports.
#pragma once

#include "support/sim_process.h"
#include "support/wait_util.h"

#include "core/variant.h"
#include "link/datagram_transport.h"
#include "link/lan_channel.h"
#include "link/serial_channel.h"
#include "link/serial_transport.h"
#include "link/lan_transfer.h"
#include "link/link_texts.h"
#include "link/serial_write.h"
#include "link/transceiver_link.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace bench {

using namespace talvir;

using testsupport::pumpUntil;
using testsupport::randomImage;
using testsupport::readFile;

inline double nowSeconds(clockid_t id)
{
    timespec ts{};
    clock_gettime(id, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Wall time and this process's CPU time (user + system) between start() and stop().
struct Stopwatch {
    void start()
    {
        wall0 = nowSeconds(CLOCK_MONOTONIC);
        cpu0 = nowSeconds(CLOCK_PROCESS_CPUTIME_ID);
        getrusage(RUSAGE_SELF, &ru0);
    }
    void stop()
    {
        wall = nowSeconds(CLOCK_MONOTONIC) - wall0;
        cpu = nowSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
        rusage ru1{};
        getrusage(RUSAGE_SELF, &ru1);
        const auto sec = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
        user = sec(ru1.ru_utime) - sec(ru0.ru_utime);
        system = sec(ru1.ru_stime) - sec(ru0.ru_stime);
        voluntarySwitches = ru1.ru_nvcsw - ru0.ru_nvcsw;
    }
    double wall0 = 0, cpu0 = 0;
    rusage ru0{};
    double wall = 0, cpu = 0, user = 0, system = 0;
    long voluntarySwitches = 0;
};

inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// transceiver-sim as a child process. start() waits for its start lines ("serial LINK -> DEV",
// "udp ADDR:PORT", "variant ...").
class SimProcess {
public:
    ~SimProcess() { stop(); }

    bool start(const QString &program, const QStringList &args)
    {
        proc_.setProgram(program);
        proc_.setArguments(args);
        proc_.setProcessChannelMode(QProcess::SeparateChannels);
        proc_.start();
        if (!proc_.waitForStarted(5000)) {
            std::fprintf(stderr, "cannot start %s: %s\n", qPrintable(program), qPrintable(proc_.errorString()));
            return false;
        }
        const bool up = pumpUntil(
            [this] {
                out_ += proc_.readAllStandardOutput();
                return out_.contains("variant ") || proc_.state() == QProcess::NotRunning;
            },
            5000);
        if (!up || proc_.state() == QProcess::NotRunning) {
            std::fprintf(stderr, "transceiver-sim did not come up:\n%s%s\n", out_.constData(),
                         proc_.readAllStandardError().constData());
            return false;
        }
        const testsupport::SimEnds ends = testsupport::parseSimStartLines(out_);
        serialDevice = ends.serialDevice;
        udpAddress = ends.udpAddress;
        udpPort = ends.udpPort;
        return true;
    }
    void stop() { testsupport::stopProcess(proc_, 1000); }
    // The child's CPU time (user + system) so far, from /proc, in seconds (clock-tick resolution).
    double cpuSeconds() const
    {
        const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(proc_.processId()));
        const qsizetype close = stat.lastIndexOf(')');
        if (close < 0)
            return 0;
        const QList<QByteArray> f = stat.mid(close + 2).split(' ');
        // Fields 14 and 15 of the whole line are utime and stime; f starts at field 3.
        if (f.size() < 13)
            return 0;
        return double(f.at(11).toLongLong() + f.at(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
    }

    QString serialDevice;
    QString udpAddress;
    quint16 udpPort = 0;

private:
    QProcess proc_;
    QByteArray out_;
};

// The configurator's side: its link object on the real transports and Qt timers.
struct Configurator {
    Configurator(const Variant &v, const Timing &t)
        : timing(t),
          link(v, timing),
          serial(link.serialChannel()),
          lan(link.lanChannel()),
          serialWrite(link.serialWrite()),
          lanTransfer(link.lanTransfer())
    {
        QObject::connect(&link, &TransceiverLink::finished, [this](const TransferResult &r) {
            result = r;
            finished = true;
        });
        QObject::connect(&lan, &LanChannel::connectFinished, [this](bool ok) {
            connectDone = true;
            connected = ok;
        });
    }

    Timing timing;
    TransceiverLink link;
    SerialChannel &serial;
    LanChannel &lan;
    SerialWrite &serialWrite;
    LanTransfer &lanTransfer;
    bool finished = false;
    TransferResult result;
    bool connectDone = false;
    bool connected = false;
};

// The command line the benchmarks share: [--variant 600r|duziv] [--runs N] [--sim PATH].
struct BenchArgs {
    QString program; // transceiver-sim
    int runs = 1;
    const Variant *variant = nullptr;
};

// Parses the command line over the defaults in a; false (with the reason on stderr) for an unknown
// variant.
inline bool parseBenchArgs(const QStringList &args, BenchArgs &a)
{
    QString variantName = QStringLiteral("600r");
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--variant"))
            variantName = args[i + 1];
        else if (args[i] == QLatin1String("--runs"))
            a.runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--sim"))
            a.program = args[i + 1];
    }
    a.variant = Variant::byName(variantName);
    if (!a.variant)
        std::fprintf(stderr, "unknown variant %s\n", qPrintable(variantName));
    return a.variant != nullptr;
}

inline const char *outcomeName(TransferOutcome o)
{
    switch (o) {
    case TransferOutcome::Succeeded: return "succeeded";
    case TransferOutcome::Refused: return "refused";
    case TransferOutcome::NoAnswer: return "no answer";
    case TransferOutcome::Incomplete: return "incomplete";
    case TransferOutcome::StoreFailed: return "store failed";
    case TransferOutcome::PortLost: return "port lost";
    case TransferOutcome::Abandoned: return "abandoned";
    }
    return "?";
}

} // namespace bench

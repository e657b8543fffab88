// kcftool fleet: many transceivers in one run, from a plan (a CSV of target, action, file). The plan
// is checked whole before anything is sent; then up to --parallel transfers run at once, the LAN ones
// on one UDP endpoint, each USB one on its own port; one target's failure never stops the others.
#include "commands.h"
#include "fleet_job.h"
#include "fleet_report.h"
#include "interrupt_watch.h"
#include "link_options.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

using namespace talvir;

namespace kcftool {

namespace {

// The run's progress on stderr: on a terminal one line per running target, redrawn in place;
// otherwise a line when a target starts and one when it ends.
class FleetProgress {
public:
    explicit FleetProgress(bool terminal) : terminal_(terminal) {}

    void started(const FleetJob &job)
    {
        if (!terminal_)
            line(QStringLiteral("%1: %2 started").arg(job.target().target, actionName(job.target().action)));
    }
    void ended(const FleetJob &job)
    {
        const FleetOutcome &o = job.outcome();
        const QString text = QStringLiteral("%1: %2, %3 s: %4")
                                 .arg(job.target().target, resultName(o.result))
                                 .arg(o.seconds, 0, 'f', 1)
                                 .arg(o.message);
        if (terminal_) {
            erase();
            line(text);
        } else {
            line(text);
        }
    }
    // The running targets' gauges, redrawn (terminal only).
    void redraw(const QList<FleetJob *> &running)
    {
        if (!terminal_)
            return;
        erase();
        for (const FleetJob *job : running) {
            const int p = job->percent();
            const double t = job->elapsed();
            const QString left = p > 0 && p < 100 ? QStringLiteral("%1 s left").arg(qRound(t * (100 - p) / p))
                                                  : QStringLiteral("…");
            write(QStringLiteral("  %1 %2% %3\n").arg(job->target().target).arg(p, 3).arg(left));
        }
        drawn_ = int(running.size());
    }
    void line(const QString &text) { write(QStringLiteral("kcftool: ") + text + QLatin1Char('\n')); }

private:
    void erase()
    {
        // Up over the gauge lines, clearing each: what follows is written where they were.
        for (; drawn_ > 0; --drawn_)
            write(QStringLiteral("\x1b[1A\x1b[2K"));
    }
    static void write(const QString &text)
    {
        const QByteArray b = text.toUtf8();
        std::fwrite(b.constData(), 1, std::size_t(b.size()), stderr);
        std::fflush(stderr);
    }
    bool terminal_;
    int drawn_ = 0;
};

// A report that could not be written would leave the technician without the run's account: the
// place is tried before anything is sent.
QString reportRefusal(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("%1: not a regular file (a folder, a pipe or a device); nothing was sent").arg(path);
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return QStringLiteral("%1: the report cannot be saved there: %2; nothing was sent").arg(path, probe.errorString());
    probe.cancelWriting();
    return {};
}

class FleetRun {
public:
    FleetRun(const QList<FleetTarget> &targets, const Variant &variant, const LinkParts &parts, int parallel)
        : parallel_(parallel), progress_(::isatty(STDERR_FILENO) == 1)
    {
        for (const FleetTarget &t : targets) {
            auto *job = new FleetJob(t, variant, parts, &owner_);
            QObject::connect(job, &FleetJob::finished, &owner_, [this, job] { onFinished(job); });
            jobs_.append(job);
        }
        redraw_.setInterval(250);
        QObject::connect(&redraw_, &QTimer::timeout, &owner_, [this] { progress_.redraw(running()); });
    }

    // Runs every target; true unless the run was interrupted.
    bool run()
    {
        InterruptWatch watch([this] { interrupt(); });
        redraw_.start();
        startNext();
        if (finishedCount_ < jobs_.size())
            loop_.exec();
        redraw_.stop();
        progress_.redraw({});
        return !interrupted_;
    }

    QList<const FleetJob *> jobs() const
    {
        QList<const FleetJob *> out;
        for (const FleetJob *j : jobs_)
            out.append(j);
        return out;
    }

private:
    QList<FleetJob *> running() const
    {
        QList<FleetJob *> out;
        for (FleetJob *j : jobs_)
            if (j->isRunning())
                out.append(j);
        return out;
    }

    void startNext()
    {
        while (!interrupted_ && next_ < jobs_.size() && running().size() < parallel_) {
            FleetJob *job = jobs_[next_++];
            progress_.started(*job);
            job->start();
        }
        if (finishedCount_ == jobs_.size())
            loop_.quit();
    }

    void onFinished(FleetJob *job)
    {
        ++finishedCount_;
        progress_.ended(*job);
        // Not from inside the finished job's signal: the next one starts on a clean stack.
        QTimer::singleShot(0, &owner_, [this] { startNext(); });
    }

    void interrupt()
    {
        if (interrupted_)
            return;
        interrupted_ = true;
        for (FleetJob *job : jobs_)
            job->abandon();
    }

    int parallel_;
    FleetProgress progress_;
    QObject owner_;
    QList<FleetJob *> jobs_;
    QEventLoop loop_;
    QTimer redraw_;
    qsizetype next_ = 0;
    qsizetype finishedCount_ = 0;
    bool interrupted_ = false;
};

} // namespace

int cmdFleet(QStringList args)
{
    const QString usage = QStringLiteral("kcftool fleet [--variant 600r|duziv] [--parallel N] [--report FILE.csv|FILE.json] "
                                         "[--bind ADDR] [--port P] [--remote-port P] PLAN.csv");
    CommandLine line(usage, {{QStringLiteral("parallel")}, {QStringLiteral("report")}, {QStringLiteral("bind")},
                             {QStringLiteral("port")}, {QStringLiteral("remote-port")}});
    line.parse(args);
    const Variant &variant = line.variant();
    int parallel = 16;
    if (const auto p = line.value(QStringLiteral("parallel"))) {
        bool ok = false;
        parallel = p->toInt(&ok);
        if (!ok || parallel < 1 || parallel > 1000)
            throw UsageError(QStringLiteral("--parallel '%1': give a number 1..1000").arg(*p));
    }
    LinkOptions lan;
    setLanEndpoints({std::nullopt, std::nullopt, line.value(QStringLiteral("bind")), line.value(QStringLiteral("port")),
                     line.value(QStringLiteral("remote-port"))},
                    lan);
    line.expectOperands(1);
    const QString planPath = line.operands().first();
    const QString reportPath = line.value(QStringLiteral("report")).value_or(QString());

    QFile planFile(planPath);
    if (!QFileInfo(planPath).isFile() || !planFile.open(QIODevice::ReadOnly)) {
        printErr(QStringLiteral("%1: the plan cannot be read: %2").arg(planPath, QFileInfo(planPath).isDir()
                                                                                   ? QStringLiteral("a folder")
                                                                                   : planFile.errorString()));
        return ExitUsage;
    }
    const FleetPlan plan = readFleetPlan(planFile.read(1 << 20), QFileInfo(planPath).absolutePath(), variant);
    if (!plan.faults.isEmpty()) {
        for (const PlanFault &f : plan.faults)
            printErr(QStringLiteral("%1:%2: %3").arg(planPath).arg(f.line).arg(f.text));
        printErr(QStringLiteral("the plan was refused; nothing was sent"));
        return ExitUsage;
    }
    if (!reportPath.isEmpty()) {
        if (const QString refusal = reportRefusal(reportPath); !refusal.isEmpty()) {
            printErr(refusal);
            return ExitRefused;
        }
    }

    const LinkParts parts = lanParts(lan);
    // The one endpoint of the run is bound before the first target starts: a port another
    // configurator holds stops the run before anything is sent.
    if (std::any_of(plan.targets.begin(), plan.targets.end(), [](const FleetTarget &t) {
            return !t.address.isEmpty() || !t.verifyAddress.isEmpty();
        })) {
        QString reason;
        if (!parts.datagramTransport()->bind(lan.bindAddress, lan.localPort, &reason)) {
            printErr(QStringLiteral("Не удалось открыть порт UDP %1.\n\n%2\nnothing was sent").arg(lan.localPort).arg(reason));
            return ExitRefused;
        }
    }

    FleetRun run(plan.targets, variant, parts, parallel);
    const bool whole = run.run();
    const QList<const FleetJob *> jobs = run.jobs();
    const int ok = int(std::count_if(jobs.begin(), jobs.end(),
                                     [](const FleetJob *j) { return j->outcome().result == FleetOutcome::Result::Ok; }));
    printErr(QStringLiteral("fleet: %1 of %2 succeeded%3; %4 datagrams came from an address no transfer talks to")
                 .arg(ok)
                 .arg(jobs.size())
                 .arg(whole ? QString() : QStringLiteral(", interrupted"))
                 .arg(parts.lanEndpoint ? parts.lanEndpoint->unroutedDatagrams() : 0));
    if (!reportPath.isEmpty()) {
        if (const QString error = writeFleetReport(reportPath, jobs); !error.isEmpty()) {
            printErr(error);
            return ExitRefused;
        }
    }
    return ok == jobs.size() ? ExitOk : ExitRefused;
}

} // namespace kcftool

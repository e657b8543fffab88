// transceiver-sim: transceivers in software for the configurator to talk to, over pseudo-terminals
// (or a real serial port) and UDP, with faults on demand. Runs until SIGINT or SIGTERM.
#include "sim_options.h"
#include "sim/sim_rack.h"
#include "sim/transceiver_sim.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <cstdio>
// SIGINT and SIGTERM end the run cleanly (the link removed) through a socket pair: POSIX only. On
// Windows Ctrl+C ends the process, which has no link to remove there.
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace talvir;

namespace {

#ifdef Q_OS_UNIX
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char b = 1;
    // Only async-signal-safe work here: the event loop reads the pipe and quits.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &b, 1);
}

bool installSignalHandlers(QString *error)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        *error = QStringLiteral("cannot create the signal pipe");
        return false;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    if (sigaction(SIGINT, &sa, nullptr) != 0 || sigaction(SIGTERM, &sa, nullptr) != 0) {
        *error = QStringLiteral("cannot install the signal handlers");
        return false;
    }
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}
#endif

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("transceiver-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TALVIR_VERSION));

    QTextStream err(stderr);
    QTextStream out(stdout);
    SimOptions opts;
    QString error;
    if (!parseSimOptions(app.arguments(), &opts, &error)) {
        err << "transceiver-sim: " << error << Qt::endl;
        return 2;
    }
    if (opts.helpShown)
        return 0;

#ifdef Q_OS_UNIX
    if (!installSignalHandlers(&error)) {
        err << "transceiver-sim: " << error << Qt::endl;
        return 1;
    }
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
        char b;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &b, 1);
        QCoreApplication::quit();
    });
#endif

    QFile logFile; // outlives the rack, whose transceivers log as they close
    SimRack rack;
    if (!opts.logPath.isEmpty()) {
        logFile.setFileName(opts.logPath);
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            err << "transceiver-sim: cannot open the log " << opts.logPath << ": " << logFile.errorString() << Qt::endl;
            return 1;
        }
        QObject::connect(&rack, &SimRack::logLine, &app, [&logFile](const QString &line) {
            logFile.write(line.toUtf8() + '\n');
            logFile.flush();
        });
    }
    if (opts.verbose)
        QObject::connect(&rack, &SimRack::logLine, &app, [&err](const QString &line) { err << line << Qt::endl; });
    QObject::connect(&rack, &SimRack::saveFailed, &app,
                     [&err](const QString &message) { err << "transceiver-sim: " << message << Qt::endl; });

    QStringList started;
    QStringList warnings;
    const bool up = rack.start(opts.units, opts.udpPort, &started, &warnings, &error);
    for (const QString &warning : std::as_const(warnings))
        err << "transceiver-sim: warning: " << warning << Qt::endl;
    if (!up) {
        err << "transceiver-sim: " << error << Qt::endl;
        return 1;
    }
    for (const QString &line : std::as_const(started))
        out << line << Qt::endl;
    const TransceiverSim *first = rack.transceivers().constFirst();
    out << "variant " << first->variant().shortName << ", " << first->memory().size() << " bytes of memory";
    if (opts.units.size() > 1)
        out << ", " << opts.units.size() << " transceivers, factory numbers "
            << opts.units.constFirst().settings.statusFactoryNumber << " to " << opts.units.constLast().settings.statusFactoryNumber;
    out << Qt::endl;

    const int rc = app.exec();
    rack.stop();
    return rc;
}

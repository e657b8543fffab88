#include "link_session.h"

#include "commands.h"

#include "read_image_file.h"
#include "link/datagram_transport.h"
#include "link/link_message.h"
#include "link/serial_transport.h"

#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

using namespace talvir;

namespace kcftool {

namespace {

int interruptPipe[2] = {-1, -1};

void onInterruptSignal(int)
{
    const char b = 1;
    // Only async-signal-safe work here: the event loop reads the pipe and abandons the transfer.
    [[maybe_unused]] const ssize_t n = ::write(interruptPipe[1], &b, 1);
}

// SIGINT and SIGTERM turned into an event of the loop, for the lifetime of one session.
class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void()> handler)
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, interruptPipe) != 0)
            return;
        struct sigaction sa {};
        sa.sa_handler = onInterruptSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGINT, &sa, &oldInt_);
        sigaction(SIGTERM, &sa, &oldTerm_);
        installed_ = true;
        notifier_ = std::make_unique<QSocketNotifier>(interruptPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [handler] {
            char b;
            [[maybe_unused]] const ssize_t n = ::read(interruptPipe[0], &b, 1);
            handler();
        });
    }
    ~InterruptWatch()
    {
        if (!installed_)
            return;
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
        notifier_.reset();
        ::close(interruptPipe[0]);
        ::close(interruptPipe[1]);
        interruptPipe[0] = interruptPipe[1] = -1;
    }

private:
    bool installed_ = false;
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace

LinkSession::LinkSession(const Variant &variant, const LinkOptions &options)
    : variant_(variant),
      options_(options),
      serial_(std::make_unique<QtSerialTransport>(), qtTimerFactory(), timing_),
      lan_(variant, std::make_unique<QtDatagramTransport>(), qtTimerFactory(), timing_),
      engine_(variant, serial_, lan_, qtTimerFactory(), timing_),
      progress_(stderr, ::isatty(STDERR_FILENO) == 1)
{
    QObject::connect(&engine_, &TransferEngine::progressChanged, &context_, [this](int p) { progress_.show(p); });
    usbAnswer_.setSingleShot(true);
}

LinkSession::~LinkSession()
{
    // Nothing more goes out while the ports close, and nothing more is reported.
    QObject::disconnect(&engine_, nullptr, &context_, nullptr);
    QObject::disconnect(&serial_, nullptr, &context_, nullptr);
    QObject::disconnect(&lan_, nullptr, &context_, nullptr);
    engine_.shutDown();
}

void LinkSession::message(const QString &text)
{
    progress_.endLine();
    printErr(text);
}

void LinkSession::finish(int code)
{
    if (finished_)
        return;
    finished_ = true;
    code_ = code;
    progress_.endLine();
    loop_.exit(code);
}

int LinkSession::run()
{
    InterruptWatch watch([this] { onInterrupt(); });
    if (!finished_)
        loop_.exec();
    return code_;
}

void LinkSession::onInterrupt()
{
    if (finished_)
        return;
    interrupted_ = true;
    // As after a confirmed exit: a running transfer ends as abandoned (its finished signal comes at
    // once), nothing more is sent, the poll and the connect stop.
    engine_.shutDown();
    if (!finished_) {
        message(reading_ ? QStringLiteral("interrupted: nothing was read, no file was written")
                         : QStringLiteral("interrupted: nothing was sent"));
        finish(ExitRefused);
    }
}

bool LinkSession::startLan(const std::function<void()> &onConnected)
{
    // The window shows nothing of it (no datagram of the protocol is that long); here it is a line.
    QObject::connect(&lan_, &LanChannel::datagramDropped, &context_, [this](int length) {
        message(QStringLiteral("dropped a datagram of %1 bytes from %2: longer than the 512-byte receive buffer")
                    .arg(length)
                    .arg(options_.address));
    });
    lan_.setLocalEndpoint(options_.bindAddress, options_.localPort);
    lan_.setRemotePort(options_.remotePort);
    QObject::connect(&lan_, &LanChannel::connectFinished, &context_, [this, onConnected](bool connected) {
        if (finished_ || started_)
            return;
        if (!connected) {
            message(linktext::noLanLinkStatus(options_.address));
            finish(ExitRefused);
            return;
        }
        onConnected();
    });
    if (!lan_.connectTo(options_.address)) {
        message(lan_.lastError());
        return false;
    }
    message(linktext::connectingStatus(options_.address));
    return true;
}

// ---- Write ---------------------------------------------------------------------------------------

int LinkSession::write(const DeviceConfig &config)
{
    const QString number = QString::number(config.serialNumber);
    QObject::connect(&engine_, &TransferEngine::writeFinished, &context_,
                     [this](const TransferResult &r) { onWriteFinished(r); });

    if (options_.channel == LinkOptions::Channel::Lan) {
        const bool connecting = startLan([this, &config, number] {
            started_ = engine_.startLanWrite(config.image, number);
            if (!started_) {
                message(QStringLiteral("the write could not start"));
                finish(ExitRefused);
            }
        });
        return connecting ? run() : int(ExitRefused);
    }

    // USB: the first acknowledgement of the identification frame brings the link up; the write starts
    // then, as the window's "Записать" does once it is shown. A keep-alive that lapsed for a moment
    // only delays the start to the next acknowledgement.
    QObject::connect(&serial_, &SerialChannel::linkUp, &context_, [this, &config, number] {
        if (finished_ || started_)
            return;
        started_ = engine_.startSerialWrite(config.frames, number);
        if (started_)
            usbAnswer_.stop();
    });
    QObject::connect(&serial_, &SerialChannel::typeRejected, &context_, [this] {
        message(linktext::typeRejected().text);
        finish(ExitRefused);
    });
    // Outside a write; during the write the write ends with it and its message is printed then.
    QObject::connect(&serial_, &SerialChannel::storeFailed, &context_, [this] {
        if (finished_)
            return;
        message(linktext::storeFailed().text);
        finish(ExitRefused);
    });
    QObject::connect(&serial_, &SerialChannel::portLost, &context_, [this](const QString &reason) {
        message(QStringLiteral("%1: %2").arg(options_.port, reason));
        finish(ExitRefused);
    });
    QObject::connect(&usbAnswer_, &QTimer::timeout, &context_, [this] {
        if (finished_ || started_)
            return;
        message(linktext::noAnswer().text);
        finish(ExitRefused);
    });
    if (!serial_.open(options_.port)) {
        message(QStringLiteral("%1: %2").arg(options_.port, serial_.lastError()));
        return ExitRefused;
    }
    usbAnswer_.start(kUsbAnswerMs);
    return run();
}

void LinkSession::onWriteFinished(const TransferResult &result)
{
    if (result.succeeded()) {
        message(result.message.text);
        finish(ExitOk);
        return;
    }
    const bool interrupted = interrupted_ && result.outcome == TransferOutcome::Abandoned;
    message(interrupted ? QStringLiteral("interrupted: the write was abandoned, nothing more was sent")
                        : result.message.text);
    finish(ExitRefused);
}

// ---- Read ----------------------------------------------------------------------------------------

int LinkSession::read(const QString &outPath)
{
    reading_ = true;
    // A read that could not be saved would be lost: the folder must be there before anything is asked.
    const QFileInfo out(outPath);
    if (out.isDir() || !out.absoluteDir().exists()) {
        message(QStringLiteral("%1: no such folder, or a folder of that name").arg(outPath));
        return ExitRefused;
    }
    return startRead(outPath);
}

int LinkSession::readImage(QByteArray *image)
{
    reading_ = true;
    imageOut_ = image;
    return startRead(QString());
}

int LinkSession::startRead(const QString &outPath)
{
    QObject::connect(&engine_, &TransferEngine::readFinished, &context_,
                     [this, outPath](const TransferResult &r) { onReadFinished(r, outPath); });
    const bool connecting = startLan([this] {
        started_ = engine_.startLanRead();
        if (!started_) {
            message(QStringLiteral("the read could not start"));
            finish(ExitRefused);
        }
    });
    return connecting ? run() : int(ExitRefused);
}

void LinkSession::onReadFinished(const TransferResult &result, const QString &outPath)
{
    if (!result.succeeded()) {
        message(result.outcome == TransferOutcome::Abandoned
                    ? QStringLiteral("interrupted: the read was abandoned, no file was written")
                    : result.message.text);
        finish(ExitRefused);
        return;
    }
    if (imageOut_) {
        *imageOut_ = engine_.readImage();
        message(result.message.text);
        finish(ExitOk);
        return;
    }
    const QString error = saveReadImage(engine_.readImage(), variant_, outPath);
    if (!error.isEmpty()) {
        message(error);
        finish(ExitRefused);
        return;
    }
    message(result.message.text);
    finish(ExitOk);
}

} // namespace kcftool

#include "link_session.h"

#include "commands.h"
#include "interrupt_watch.h"
#include "read_image_file.h"

#include "link/link_texts.h"
#include "link/serial_port_access.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <unistd.h>

using namespace talvir;

namespace kcftool {

LinkSession::LinkSession(const Variant &variant, const LinkOptions &options)
    : variant_(variant),
      options_(options),
      link_(variant, timing_, lanParts(options)),
      progress_(stderr, ::isatty(STDERR_FILENO) == 1)
{
    QObject::connect(&link_, &TransceiverLink::progressChanged, &context_, [this](int p) { progress_.show(p); });
    usbAnswer_.setSingleShot(true);
}

LinkSession::~LinkSession()
{
    // Nothing more goes out while the ports close, and nothing more is reported.
    QObject::disconnect(&link_, nullptr, &context_, nullptr);
    link_.shutDown();
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
    link_.shutDown();
    if (!finished_) {
        message(reading_ ? QStringLiteral("interrupted: nothing was read, no file was written")
                         : QStringLiteral("interrupted: nothing was sent"));
        finish(ExitRefused);
    }
}

bool LinkSession::startLan(const std::function<void()> &onConnected)
{
    // The window shows nothing of it (no datagram of the protocol is that long); here it is a line.
    QObject::connect(&link_, &TransceiverLink::datagramDropped, &context_, [this](int length) {
        message(QStringLiteral("dropped a datagram of %1 bytes from %2: longer than the 512-byte receive buffer")
                    .arg(length)
                    .arg(options_.address));
    });
    QObject::connect(&link_, &TransceiverLink::stateChanged, &context_, [this, onConnected](TransceiverLink::State s) {
        if (finished_ || started_)
            return;
        if (s == TransceiverLink::State::Down) {
            message(linktext::noLanLinkStatus(options_.address));
            finish(ExitRefused);
        } else if (s == TransceiverLink::State::LanUp) {
            onConnected();
        }
    });
    if (!link_.chooseLan(options_.address)) {
        message(link_.lastError());
        return false;
    }
    message(linktext::connectingStatus(options_.address));
    return true;
}

// ---- Write ---------------------------------------------------------------------------------------

int LinkSession::write(const DeviceConfig &config)
{
    const QString number = QString::number(config.factoryNumber);
    QObject::connect(&link_, &TransceiverLink::finished, &context_,
                     [this, number](const TransferResult &r) { onWriteFinished(r, number); });

    if (options_.channel == LinkOptions::Channel::Lan) {
        const bool connecting = startLan([this, &config] {
            started_ = link_.write(config.frames, config.image);
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
    QObject::connect(&link_, &TransceiverLink::stateChanged, &context_, [this, &config](TransceiverLink::State s) {
        if (finished_ || started_ || s != TransceiverLink::State::UsbUp)
            return;
        started_ = link_.write(config.frames, config.image);
        if (started_)
            usbAnswer_.stop();
    });
    QObject::connect(&link_, &TransceiverLink::typeRejected, &context_, [this] {
        message(linktext::typeRejected().text);
        finish(ExitRefused);
    });
    // Outside a write; during the write the write ends with it and its message is printed then.
    QObject::connect(&link_, &TransceiverLink::storeFailed, &context_, [this] {
        if (finished_)
            return;
        message(linktext::storeFailed().text);
        finish(ExitRefused);
    });
    QObject::connect(&link_, &TransceiverLink::portLost, &context_, [this](const QString &reason) {
        message(QStringLiteral("%1: %2").arg(options_.port, reason));
        finish(ExitRefused);
    });
    QObject::connect(&usbAnswer_, &QTimer::timeout, &context_, [this] {
        if (finished_ || started_)
            return;
        message(linktext::noAnswer().text);
        finish(ExitRefused);
    });
    if (!link_.chooseUsb(options_.port)) {
        message(explainSerialPortFailure(options_.port, link_.lastError()));
        return ExitRefused;
    }
    usbAnswer_.start(kUsbAnswerMs);
    return run();
}

void LinkSession::onWriteFinished(const TransferResult &result, const QString &factoryNumber)
{
    const QString text = linktext::transferMessage(result, factoryNumber).text;
    if (result.succeeded()) {
        message(text);
        finish(ExitOk);
        return;
    }
    const bool interrupted = interrupted_ && result.outcome == TransferOutcome::Abandoned;
    message(interrupted ? QStringLiteral("interrupted: the write was abandoned, nothing more was sent")
                        : text);
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
    QObject::connect(&link_, &TransceiverLink::finished, &context_,
                     [this, outPath](const TransferResult &r) { onReadFinished(r, outPath); });
    const bool connecting = startLan([this] {
        started_ = link_.read();
        if (!started_) {
            message(QStringLiteral("the read could not start"));
            finish(ExitRefused);
        }
    });
    return connecting ? run() : int(ExitRefused);
}

void LinkSession::onReadFinished(const TransferResult &result, const QString &outPath)
{
    const QString text = linktext::transferMessage(result, QString()).text;
    if (!result.succeeded()) {
        message(result.outcome == TransferOutcome::Abandoned
                    ? QStringLiteral("interrupted: the read was abandoned, no file was written")
                    : text);
        finish(ExitRefused);
        return;
    }
    if (imageOut_) {
        *imageOut_ = result.image;
        message(text);
        finish(ExitOk);
        return;
    }
    const QString error = saveReadImage(result.image, variant_, outPath);
    if (!error.isEmpty()) {
        message(error);
        finish(ExitRefused);
        return;
    }
    message(text);
    finish(ExitOk);
}

} // namespace kcftool

// One write or read between kcftool and a transceiver, on the configurator's own link object with
// real ports and timers, run in an event loop until the transfer ends. Progress and the messages go to stderr; SIGINT or SIGTERM abandons the transfer.
#pragma once

#include "device_config.h"
#include "link_options.h"
#include "progress_printer.h"

#include "link/transceiver_link.h"

#include <QEventLoop>
#include <QObject>
#include <QTimer>

namespace kcftool {

class LinkSession {
public:
    // How long the transceiver has to answer the identification frame on USB: about eleven
    // identification frames at the channel's own rhythm of 275 ms.
    static constexpr int kUsbAnswerMs = 3000;

    LinkSession(const talvir::Variant &variant, const LinkOptions &options);
    ~LinkSession();

    // Connects as the window does and writes the file's configuration: over USB the file's frames,
    // over LAN the image they make up. Returns the exit code.
    int write(const DeviceConfig &config);
    // Connects over LAN, reads the transceiver's configuration and saves it to outPath atomically;
    // outPath is not touched unless the read completed. Returns the exit code.
    int read(const QString &outPath);
    // Connects over LAN and reads the transceiver's configuration into *image (variant.imageSize()
    // bytes); *image is not touched unless the read completed. Returns the exit code.
    int readImage(QByteArray *image);

private:
    int run();
    void finish(int code);
    void message(const QString &text);
    void onInterrupt();
    void onWriteFinished(const talvir::TransferResult &result, const QString &factoryNumber);
    void onReadFinished(const talvir::TransferResult &result, const QString &outPath);
    int startRead(const QString &outPath);
    bool startLan(const std::function<void()> &onConnected);

    const talvir::Variant &variant_;
    LinkOptions options_;
    talvir::Timing timing_;
    talvir::TransceiverLink link_;
    ProgressPrinter progress_;
    QObject context_; // owns the signal connections of this session
    QEventLoop loop_;
    QTimer usbAnswer_;
    QByteArray *imageOut_ = nullptr; // readImage: where the memory read goes instead of a file
    bool reading_ = false;
    bool started_ = false;
    bool finished_ = false;
    bool interrupted_ = false;
    int code_ = 1;
};

} // namespace kcftool

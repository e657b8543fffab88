// The main window's two links to the transceiver: choosing USB or LAN, and what the window shows
// while the serial link comes and goes, when the LAN connect ends and when the transceiver's status
// datagram arrives. The channels do the protocol; this file turns their signals into captions,
// status texts, command states and message boxes.
#include "main_window.h"

#include "link/lan_channel.h"
#include "link/lan_datagrams.h"
#include "link/serial_channel.h"
#include "link/transfer_engine.h"

#include "core/ip_text.h"
#include "ui/link_prompt.h"
#include "ui/port_number.h"
#include "ui/prompts.h"
#include "ui/object_list_dialog.h"
#include "ui/reserve_server_dialog.h"
#include "ui/status_light.h"
#include "core/variant.h"
#include "link/link_message.h"

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace talvir {

namespace {

QString suffixUsbPort(const QString &portName)
{
    return QStringLiteral("      Канал USB Com") + portNumberText(portName);
}
QString suffixUsbLinkUp() { return QStringLiteral("    Связь по каналу USB"); }
QString suffixLan(const QString &address) { return QStringLiteral("      Канал LAN IP: ") + address; }
QString portPickerTitle() { return QStringLiteral("Выбор Com-порта"); }

} // namespace

void MainWindow::createLinks(const LinkSetup &link)
{
    const TimerFactory timers = link.timers ? link.timers : qtTimerFactory();
    std::unique_ptr<SerialTransport> serialPort =
        link.serialTransport ? link.serialTransport() : std::make_unique<QtSerialTransport>();
    std::unique_ptr<DatagramTransport> udp =
        link.datagramTransport ? link.datagramTransport() : std::make_unique<QtDatagramTransport>();

    serialChannel_ = std::make_unique<SerialChannel>(std::move(serialPort), timers, timing_);
    lanChannel_ = std::make_unique<LanChannel>(variant_, std::move(udp), timers, timing_);
    // The endpoint binds when LAN is first chosen: a program that only uses USB never takes port 9999.
    lanChannel_->setLocalEndpoint(link.lanLocalAddress, link.lanLocalPort);
    lanChannel_->setRemotePort(link.lanRemotePort);
    engine_ = std::make_unique<TransferEngine>(variant_, *serialChannel_, *lanChannel_, timers, timing_);

    connect(serialChannel_.get(), &SerialChannel::linkUp, this, &MainWindow::onSerialLinkUp);
    connect(serialChannel_.get(), &SerialChannel::linkLost, this, &MainWindow::onSerialLinkLost);
    connect(serialChannel_.get(), &SerialChannel::portLost, this, &MainWindow::onSerialPortLost);
    connect(serialChannel_.get(), &SerialChannel::typeRejected, this, &MainWindow::onTypeRejected);
    connect(serialChannel_.get(), &SerialChannel::storeFailed, this, &MainWindow::onStoreFailed);
    connect(lanChannel_.get(), &LanChannel::connectFinished, this, &MainWindow::onLanConnectFinished);
    connect(lanChannel_.get(), &LanChannel::statusReceived, this, &MainWindow::onLanStatus);
    connect(engine_.get(), &TransferEngine::progressChanged, progressBar, &QProgressBar::setValue);
    connect(engine_.get(), &TransferEngine::writeFinished, this, &MainWindow::onWriteFinished);
    connect(engine_.get(), &TransferEngine::readFinished, this, &MainWindow::onReadFinished);
}

void MainWindow::waitWhile(const std::function<bool()> &busy)
{
    while (busy()) {
        QEventLoop wait;
        connect(engine_.get(), &TransferEngine::writeFinished, &wait, &QEventLoop::quit);
        connect(engine_.get(), &TransferEngine::readFinished, &wait, &QEventLoop::quit);
        connect(lanChannel_.get(), &LanChannel::connectFinished, &wait, &QEventLoop::quit);
        // One slice at most: a connect's passes end without a signal of their own when exit stops them.
        QTimer::singleShot(timing_.pumpSliceMs, &wait, &QEventLoop::quit);
        wait.exec();
    }
}

bool MainWindow::linkReady() const
{
    if (channel_ == ChannelLan)
        return lanChannel_->isConnected();
    if (channel_ == ChannelUsb)
        return serialChannel_->isLinkUp();
    return false;
}

// ---- USB ----------------------------------------------------------------------------------------

void MainWindow::chooseUsb()
{
    guarded([&] {
        if (engine_->busy())
            return;
        if (serialPortName_.isEmpty()) {
            const std::optional<QString> picked = prompts_.pickSerialPort(portPickerTitle());
            if (picked)
                serialPortName_ = picked->trimmed();
        }
        if (serialPortName_.isEmpty() || !serialChannel_->open(serialPortName_)) {
            // A port that cannot be opened is asked for again next time, rather than tried forever.
            serialPortName_.clear();
            showLinkMessage(prompts_, linktext::noComPort());
            channel_ = ChannelNone;
            showLinkNotUp();
            return;
        }
        // The LAN link steps aside: the transceiver is not polled on two channels at once, and its
        // status datagrams no longer take the caption.
        lanChannel_->disconnect();
        setCaptionSuffix(suffixUsbPort(serialPortName_));
        channel_ = ChannelUsb;
        enableLinkCommands();
        // The channel has sent the identification frame and armed the watchdog for 2 ticks.
    });
}

void MainWindow::onSerialLinkUp()
{
    // Sent on every keep-alive answer: only what changes is touched.
    if (!statusText->text().isEmpty())
        statusText->clear();
    writeButton->setVisible(true);
    writeAction->setEnabled(true);
    progressBar->setVisible(true);
    if (variant_.captionOnSerialLinkUp)
        setCaptionSuffix(suffixUsbLinkUp());
}

void MainWindow::showLinkNotUp()
{
    writeButton->setVisible(false);
    writeAction->setEnabled(false);
    readAction->setEnabled(false);
    progressBar->setVisible(false);
    statusText->setText(linktext::noLinkStatus());
    setCaptionSuffix(suffixAutonomous());
}

void MainWindow::onSerialLinkLost() { showLinkNotUp(); }

void MainWindow::dropSerialChannel()
{
    if (channel_ == ChannelUsb)
        channel_ = ChannelNone;
}

void MainWindow::onSerialPortLost()
{
    // The port went away by itself (cable pulled); linkLost has shown the state already. The port
    // name is kept: choosing USB again reopens the same port once it is back.
    dropSerialChannel();
}

void MainWindow::onTypeRejected()
{
    // The channel has closed the port: the window no longer offers a serial write.
    dropSerialChannel();
    showLinkNotUp();
    showLinkMessage(prompts_, linktext::typeRejected());
    close();
}

// 0x25 outside a write; in a write the write's end reports it.
void MainWindow::onStoreFailed() { showLinkMessage(prompts_, linktext::storeFailed()); }

// ---- LAN ----------------------------------------------------------------------------------------

void MainWindow::chooseLan()
{
    guarded([&] {
        if (engine_->busy())
            return;
        const bool serialWasOpen = serialChannel_->isOpen() || channel_ == ChannelUsb;
        serialChannel_->close();
        serialPortName_.clear();
        if (serialWasOpen) {
            // The port is closed now, whatever the technician answers below.
            dropSerialChannel();
            showLinkNotUp();
        }

        if (transceiverAddress_.isEmpty())
            transceiverAddress_ = linktext::defaultTransceiverAddress();
        const std::optional<QString> typed =
            prompts_.inputBox(linktext::lanInputCaption(), linktext::lanInputPrompt(), transceiverAddress_);
        if (!typed)
            return;
        transceiverAddress_ = *typed;
        // A text that is not made of numbers and dots stops here with the conversion error.
        if (addressOrStop(transceiverAddress_) == 0) {
            showLinkMessage(prompts_, linktext::badTransceiverAddress());
            return;
        }
        if (!lanChannel_->bind()) {
            // Another program holds the port: the window stays as it is, loading and saving work.
            prompts_.message(linktext::lanInputCaption(), lanChannel_->lastError(), PromptIcon::Error,
                             PromptButtons::Ok, PromptAnswer::None, true);
            return;
        }

        const QString address = transceiverAddress_;
        setCaptionSuffix(suffixLan(address));
        statusText->setText(linktext::connectingStatus(address));
        disableLinkCommands();
        progressBar->setVisible(false);
        channel_ = ChannelLan;
        if (!lanChannel_->connectTo(address)) {
            onLanConnectFinished(false);
            return;
        }
        // The command waits for the connect as the technician sees it: the window answers meanwhile,
        // the link commands are disabled until the connect ends.
        waitWhile([this] { return lanChannel_->isConnecting(); });
    });
}

void MainWindow::onLanConnectFinished(bool connected)
{
    const QString address = lanChannel_->addressText().isEmpty() ? transceiverAddress_ : lanChannel_->addressText();
    if (connected) {
        // A late "OK" after a failed connect also brings the link up: the caption says LAN again.
        if (statusText->text() == linktext::noLanLinkStatus(address))
            setCaptionSuffix(suffixLan(address));
        statusText->clear();
        progressBar->setVisible(true);
        enableLinkCommands();
        return;
    }
    statusText->setText(linktext::noLanLinkStatus(address));
    setCaptionSuffix(suffixAutonomous());
    disableLinkCommands();
    linkMenuAction->setEnabled(true);
    loadAction->setEnabled(true);
    saveAction->setEnabled(true);
}

void MainWindow::onLanStatus(const LanStatus &status)
{
    if (!variant_.hasStatusLight || channel_ != ChannelLan)
        return;
    setCaptionSuffix(statusCaptionSuffix(status));
    if (linkLight) {
        const LightColour c = statusLightColour(status.channelCode);
        linkLight->setColor(QColor(c.red, c.green, c.blue));
        linkLight->setMeaning(statusCaptionSuffix(status).simplified());
    }
}

// ---- Exit ---------------------------------------------------------------------------------------

void MainWindow::stopLanTimers()
{
    // The poll stops while the exit question is open. A running exchange keeps its retransmission:
    // if the technician stays, the write or read must still be able to end.
    lanPollingBeforeExitQuestion_ = lanChannel_->isPolling();
    lanChannel_->setPolling(false);
}

} // namespace talvir

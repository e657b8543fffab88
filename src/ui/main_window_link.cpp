// The main window's two links to the transceiver: choosing USB or LAN, and what the window shows as
// the link's state changes and when the transceiver's status datagram arrives. The link object does
// the protocol; this file turns its state into captions, status texts, command states and boxes.
#include "main_window.h"

#include "link/lan_datagrams.h"
#include "link/link_texts.h"
#include "link/transceiver_link.h"

#include "core/ip_text.h"
#include "core/prompts.h"
#include "ui/status_light.h"
#include "core/variant.h"

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace talvir {

void MainWindow::bindLink()
{
    connect(link_, &TransceiverLink::stateChanged, this, &MainWindow::showLinkState);
    connect(link_, &TransceiverLink::statusReceived, this, &MainWindow::showLanStatus);
    connect(link_, &TransceiverLink::progressChanged, progressBar, &QProgressBar::setValue);
    connect(link_, &TransceiverLink::finished, this, [this](const TransferResult &result) {
        pendingEnd_ = result;
        QTimer::singleShot(0, this, &MainWindow::showPendingEnd);
    });
    connect(link_, &TransceiverLink::typeRejected, this, [this] {
        showLinkNotUp();
        prompts_.message(linktext::typeRejected());
        close();
    });
    // 0x25 outside a write; in a write the write's end reports it.
    connect(link_, &TransceiverLink::storeFailed, this, [this] { prompts_.message(linktext::storeFailed()); });
}

void MainWindow::waitForLink()
{
    const auto lanAtWork = [this] {
        const TransceiverLink::State s = link_->state();
        return link_->channel() == TransceiverLink::Channel::Lan &&
               (s == TransceiverLink::State::Connecting || s == TransceiverLink::State::Transferring);
    };
    while (lanAtWork()) {
        QEventLoop wait;
        connect(link_, &TransceiverLink::stateChanged, &wait, &QEventLoop::quit);
        // One slice at most: a connect's passes end without a signal of their own when exit stops them.
        QTimer::singleShot(timing_.pumpSliceMs, &wait, &QEventLoop::quit);
        wait.exec();
    }
    // The awaited transfer's end before the command returns.
    showPendingEnd();
}

void MainWindow::showLinkState(TransceiverLink::State state)
{
    if (pendingEnd_) {
        heldState_ = state; // shown after the transfer's end
        return;
    }
    const bool lan = link_->channel() == TransceiverLink::Channel::Lan;
    switch (state) {
    case TransceiverLink::State::UsbUp:
        statusText->clear();
        writeButton->setVisible(true);
        writeAction->setEnabled(true);
        progressBar->setVisible(true);
        if (variant_.captionOnSerialLinkUp)
            setCaptionSuffix(linktext::usbLinkUpCaption());
        break;
    case TransceiverLink::State::LanUp:
        // A late "OK" after a failed connect also brings the link up: the caption says LAN again.
        if (shownState_ == TransceiverLink::State::Down)
            setCaptionSuffix(linktext::lanCaption(link_->address()));
        statusText->clear();
        progressBar->setVisible(true);
        offerLinkCommands(CommandOffer::All);
        break;
    case TransceiverLink::State::Down:
        if (!lan) {
            showLinkNotUp();
            break;
        }
        statusText->setText(linktext::noLanLinkStatus(link_->address()));
        setCaptionSuffix(linktext::autonomousCaption());
        offerLinkCommands(CommandOffer::WithoutTransfer);
        break;
    case TransceiverLink::State::Connecting:
    case TransceiverLink::State::Transferring:
        break;
    }
    shownState_ = state;
}

// No serial link (the watchdog expired, the port could not be opened or was closed): caption,
// status "Нет связи", no write button, gauge or write and read commands.
void MainWindow::showLinkNotUp()
{
    writeButton->setVisible(false);
    writeAction->setEnabled(false);
    readAction->setEnabled(false);
    progressBar->setVisible(false);
    statusText->setText(linktext::noLinkStatus());
    setCaptionSuffix(linktext::autonomousCaption());
}

// ---- USB ----------------------------------------------------------------------------------------

void MainWindow::chooseUsb()
{
    whenIdle([&] {
        QString port = link_->portName();
        if (port.isEmpty()) {
            const std::optional<QString> picked = prompts_.pickSerialPort(linktext::portPickerTitle());
            if (picked)
                port = picked->trimmed();
        }
        if (!link_->chooseUsb(port)) {
            prompts_.message(linktext::noComPort(port, link_->lastError()));
            showLinkNotUp();
            return;
        }
        setCaptionSuffix(linktext::usbPortCaption(port));
        offerLinkCommands(CommandOffer::All);
        // The transceiver's LAN status no longer applies.
        if (linkLight) {
            linkLight->setColor(Qt::white);
            linkLight->setMeaning(StatusLight::noDataMeaning());
        }
        // The link has sent the identification frame and armed the watchdog for 2 ticks.
    });
}

// ---- LAN ----------------------------------------------------------------------------------------

void MainWindow::chooseLan()
{
    whenIdle([&] {
        // The port is closed now, whatever the technician answers below.
        if (link_->leaveUsb())
            showLinkNotUp();

        const std::optional<QString> typed = prompts_.inputBox(linktext::lanInputCaption(), linktext::lanInputPrompt(),
                                                               proposedAddress());
        if (!typed)
            return;
        link_->proposeAddress(*typed);
        // A text that is not made of numbers and dots stops here with the conversion error.
        QString error;
        const std::optional<quint32> address = ipFromText(*typed, &error);
        if (!address) {
            reportConversionError(error);
            return;
        }
        if (*address == 0) {
            prompts_.message(linktext::badTransceiverAddress());
            return;
        }
        if (!link_->bindLan()) {
            // Another program holds the port: the window stays as it is, loading and saving work.
            prompts_.message(linktext::lanInputCaption(), link_->lastError(), MessageIcon::Error, MessageButtons::Ok,
                             MessageAnswer::None, true);
            return;
        }
        setCaptionSuffix(linktext::lanCaption(*typed));
        statusText->setText(linktext::connectingStatus(*typed));
        offerLinkCommands(CommandOffer::None);
        progressBar->setVisible(false);
        shownState_ = TransceiverLink::State::Connecting;
        if (!link_->chooseLan(*typed)) {
            showLinkState(TransceiverLink::State::Down);
            return;
        }
        // The command waits for the connect as the technician sees it: the window answers meanwhile,
        // the link commands are disabled until the connect ends.
        waitForLink();
    });
}

QString MainWindow::proposedAddress() const
{
    return link_->address().isEmpty() ? linktext::defaultTransceiverAddress() : link_->address();
}

void MainWindow::showLanStatus(const LanStatus &status)
{
    if (!variant_.hasStatusLight)
        return;
    setCaptionSuffix(statusCaptionSuffix(status));
    if (linkLight) {
        const LightColour c = statusLightColour(status.channelCode);
        linkLight->setColor(QColor(c.red, c.green, c.blue));
        linkLight->setMeaning(statusCaptionSuffix(status).simplified());
    }
}

} // namespace talvir

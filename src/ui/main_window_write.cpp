// The main window's write and read commands: the settings checks, the image and the send list, and
// their hand-over to a file or to the link; the read's image back into the window. How frames and
// blocks travel is the link's business; the window words its outcome.
#include "main_window.h"

#include "workspace/workspace.h"

#include "tables/panel_editing.h"

#include <QTimer>

#include "link/link_texts.h"
#include "link/transceiver_link.h"

#include "core/prompts.h"
#include "tables/reserve_list.h"
#include "ui/panel_table_view.h"
#include "ui/settings_panel.h"
#include "image/config_writer.h"
#include "core/ip_text.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace talvir {

void MainWindow::writeConfiguration()
{
    whenIdle([&] { runWrite(); });
}

bool MainWindow::runWrite(const SendListSink &saveToFile)
{
    // A row being typed is stored first: the write takes what the technician sees.
    if (!workspace_->editing().settle())
        return false;

    SendList sendList;
    offerLinkCommands(CommandOffer::None);

    const TransceiverConfig config = currentConfig();
    const std::optional<WriteRefusal> refusal =
        prepareWrite(workspace_->image(), config, modeControlEnabled(config, variant_), sendList);
    if (refusal && refusal->kind == WriteRefusal::NotANumber) {
        // The general error report follows; the window must not stay with its link commands off.
        restoreControlsWithoutTransfer();
        reportConversionError(refusal->message);
        return false;
    }
    if (refusal) {
        prompts_.message(QStringLiteral("Ошибка"), refusal->message, MessageIcon::Error);
        focusControl(refusal->control);
        offerLinkCommands(CommandOffer::All);
        return false;
    }

    if (saveToFile) {
        saveToFile(sendList);
        restoreControlsWithoutTransfer();
        return true;
    }

    writtenFactoryNumber_ = config.factoryNumber;
    if (link_->channel() == TransceiverLink::Channel::Usb)
        progressBar->setVisible(true);
    if (link_->write(sendList, workspace_->image().bytes())) {
        // A LAN write is awaited, as the technician expects of the command; a serial write goes on,
        // one frame per acknowledgement, and showTransferEnd reports its end.
        waitForLink();
        return true;
    }
    restoreControlsWithoutTransfer();
    prompts_.message(linktext::noTransceiverForWrite());
    return true;
}

void MainWindow::restoreControlsWithoutTransfer()
{
    offerLinkCommands(link_->isReady() ? CommandOffer::All : CommandOffer::WithoutTransfer);
}

void MainWindow::focusControl(const QString &objectName)
{
    QWidget *target = findChild<QWidget *>(objectName);
    // The table as a whole is refused (more rows than slots): the grid takes the focus.
    if (!target && objectName == QLatin1String("panelTable"))
        target = findChild<QWidget *>(QStringLiteral("panelGrid"));
    if (target)
        target->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showTransferEnd(const TransferResult &result)
{
    UserMessage message = linktext::transferMessage(result, writtenFactoryNumber_);
    // A write that stopped part-way says that the transceiver may hold part of the new configuration.
    if (result.stoppedPartWay())
        message.text += linktext::partialWriteNote();
    if (result.kind == TransferKind::Read) {
        // The received blocks go into the image also when the read failed half-way.
        workspace_->takeReadImage(result.image);
    }
    if (result.channel == TransferChannel::Serial) {
        writeButton->setDown(false);
        if (result.succeeded())
            writeAction->setEnabled(false);
    }
    // An abandoned transfer was ended by the technician (exit) or by the window (the panel type was
    // refused, which says so itself): nothing more to tell.
    // A failed transfer does not leave the gauge standing as if it had got somewhere.
    if (!result.succeeded())
        progressBar->setValue(0);
    if (result.outcome != TransferOutcome::Abandoned)
        prompts_.message(message);
    if (result.kind == TransferKind::Read && result.succeeded()) {
        showTakenConfig(workspace_->takeRead(currentConfig()));
    }
    offerLinkCommands(CommandOffer::All);
    // Reading is offered over LAN only.
    if (result.channel == TransferChannel::Serial)
        readAction->setEnabled(false);
}

void MainWindow::showPendingEnd()
{
    if (!pendingEnd_ || endOnScreen_)
        return;
    // pendingEnd_ stays set while the box is open: the link's state waits for it.
    endOnScreen_ = true;
    showTransferEnd(*pendingEnd_);
    endOnScreen_ = false;
    pendingEnd_.reset();
    if (heldState_) {
        const TransceiverLink::State state = *heldState_;
        heldState_.reset();
        showLinkState(state);
    }
}

void MainWindow::readConfiguration()
{
    whenIdle([&] {
        workspace_->editing().clearCount();
        if (link_->channel() != TransceiverLink::Channel::Lan || !link_->isReady())
            return;
        offerLinkCommands(CommandOffer::None);
        settings_->clearTexts();
        workspace_->clearForRead();
        if (!link_->read()) {
            offerLinkCommands(CommandOffer::All);
            return;
        }
        waitForLink();
    });
}

} // namespace talvir

// The main window's write and read commands: the settings checks, the image and the send list, and
// their hand-over to a file or to the link; the read's image back into the window. How frames and
// blocks travel is the link's business; the window words its outcome.
#include "main_window.h"

#include "workspace/workspace.h"

#include "tables/panel_editing.h"

#include <QTimer>

#include "link/link_texts.h"
#include "link/transceiver_link.h"

#include "ui/error_report.h"
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

namespace {

// A write started while no transceiver answers: nothing goes out, and the technician is told so.
UserMessage noTransceiverForWrite()
{
    return {QStringLiteral("Связь с трансивером"), QStringLiteral("Нет связи с трансивером. Конфигурация не записана."),
            MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::None, true};
}

} // namespace

void MainWindow::writeConfiguration()
{
    whenIdle([&] { runWrite(); });
}

bool MainWindow::runWrite(const SendListSink &saveToFile)
{
    // A row being typed is stored first: the write takes what the technician sees.
    if (!panelEditing_->settle())
        return false;

    SendList sendList;
    disableLinkCommands();

    const TransceiverConfig config = currentConfig();
    const std::optional<WriteRefusal> refusal =
        prepareWrite(workspace_->image(), config, modeControlEnabled(config, variant_), sendList);
    if (refusal && refusal->kind == WriteRefusal::NotANumber) {
        // The general error report follows; the window must not stay with its link commands off.
        restoreControlsWithoutTransfer();
        throw ConversionError(refusal->message);
    }
    if (refusal) {
        prompts_.message(QStringLiteral("Ошибка"), refusal->message, MessageIcon::Error);
        focusControl(refusal->control);
        enableLinkCommands();
        return false;
    }

    if (saveToFile) {
        try {
            saveToFile(sendList);
        } catch (...) {
            restoreControlsWithoutTransfer();
            throw;
        }
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
    prompts_.message(noTransceiverForWrite());
    return true;
}

void MainWindow::restoreControlsWithoutTransfer()
{
    if (link_->isReady()) {
        enableLinkCommands();
        return;
    }
    disableLinkCommands();
    loadAction->setEnabled(true);
    saveAction->setEnabled(true);
    linkMenuAction->setEnabled(true);
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
    enableLinkCommands();
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
        panelEditing_->clearCount();
        if (link_->channel() != TransceiverLink::Channel::Lan || !link_->isReady())
            return;
        disableLinkCommands();
        settings_->clearTexts();
        workspace_->clearForRead();
        if (!link_->read()) {
            enableLinkCommands();
            return;
        }
        waitForLink();
    });
}

} // namespace talvir

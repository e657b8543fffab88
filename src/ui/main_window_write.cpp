// The main window's write and read commands: the settings checks, the image and the send list, and
// their hand-over to a file, to the serial write or to the LAN write; the LAN read into the image.
// How frames and blocks travel is the transfer engine's business; the window shows its outcome.
#include "main_window.h"

#include "link/lan_channel.h"
#include "link/lan_datagrams.h"
#include "link/serial_channel.h"
#include "link/transfer_engine.h"

#include "ui/link_prompt.h"
#include "ui/prompts.h"
#include "ui/object_list_dialog.h"
#include "ui/reserve_server_dialog.h"
#include "ui/dataset_navigator.h"
#include "tables/panel_table.h"
#include "ui/panel_table_view.h"
#include "ui/radio_group.h"
#include "ui/settings_panel.h"
#include "files/config_file.h"
#include "image/config_writer.h"
#include "core/ip_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <cstring>

namespace talvir {

namespace {

// A write started while no transceiver answers: nothing goes out, and the technician is told so.
LinkMessage noTransceiverForWrite()
{
    return {QStringLiteral("Нет связи с трансивером. Конфигурация не записана."), QStringLiteral("Связь с трансивером"),
            MessageIcon::Warning, true};
}

} // namespace

void MainWindow::writeConfiguration()
{
    guarded([&] { runWrite(); });
}

bool MainWindow::runWrite(const SendListSink &saveToFile)
{
    if (engine_->busy())
        return false;
    // A row being typed is stored first: the write takes what the technician sees.
    if (!panelView_->settle())
        return false;

    SendList sendList;
    disableLinkCommands();

    const TransceiverConfig config = currentConfig();
    const std::optional<WriteRefusal> refusal =
        prepareWrite(image_, config, modeControlEnabled(config, variant_), sendList);
    if (refusal && refusal->kind == WriteRefusal::NotANumber) {
        // The general error report follows; the window must not stay with its link commands off.
        restoreControlsWithoutTransfer();
        throw ConversionError(refusal->message);
    }
    if (refusal) {
        prompts_.message(QStringLiteral("Ошибка"), refusal->message, PromptIcon::Error);
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

    const QString serialNumberText = settings_->factoryNumberEdit->text();
    if (channel_ == ChannelUsb && serialChannel_->isLinkUp()) {
        progressBar->setVisible(true);
        // Every further frame goes out on an acknowledgement; onWriteFinished reports the end.
        if (engine_->startSerialWrite(sendList, serialNumberText))
            return true;
    } else if (channel_ == ChannelLan && lanChannel_->isConnected()) {
        const QByteArray image(reinterpret_cast<const char *>(image_.data()), image_.size());
        if (engine_->startLanWrite(image, serialNumberText)) {
            // The command returns when the LAN write has ended, as the technician expects of it.
            waitWhile([this] { return engine_->lanExchangeRunning(); });
            return true;
        }
    }

    restoreControlsWithoutTransfer();
    showLinkMessage(prompts_, noTransceiverForWrite());
    return true;
}

void MainWindow::restoreControlsWithoutTransfer()
{
    if (linkReady()) {
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
        target = panelView_->panelGrid;
    if (target)
        target->setFocus(Qt::OtherFocusReason);
}

QString MainWindow::partialWriteNote()
{
    return QStringLiteral("\n\nЗапись прервана: трансивер может хранить только часть новой конфигурации. "
                          "Повторите запись.");
}

void MainWindow::onWriteFinished(const TransferResult &transfer)
{
    // A write that stopped part-way says that the transceiver may hold part of the new configuration.
    TransferResult result = transfer;
    const bool stopped = result.outcome == TransferOutcome::NoAnswer || result.outcome == TransferOutcome::PortLost ||
                         result.outcome == TransferOutcome::StoreFailed;
    if (stopped)
        result.message.text += partialWriteNote();
    if (result.channel == TransferChannel::Serial) {
        writeButton->setDown(false);
        if (result.succeeded())
            writeAction->setEnabled(false);
        showTransferMessage(result);
        enableLinkCommands();
        // Reading is offered over LAN only.
        readAction->setEnabled(false);
        return;
    }
    showTransferMessage(result);
    enableLinkCommands();
}

void MainWindow::showTransferMessage(const TransferResult &result)
{
    // An abandoned transfer was ended by the technician (exit) or by the window (the panel type was
    // refused, which says so itself): nothing more to tell.
    if (result.outcome != TransferOutcome::Abandoned)
        showLinkMessage(prompts_, result.message);
}

void MainWindow::readConfiguration()
{
    guarded([&] {
        panelView_->panelCountLabel->clear();
        if (engine_->busy() || !lanChannel_->isConnected())
            return;
        disableLinkCommands();
        image_.clearSettings();
        image_.clearPanelArea();
        SettingsPanel &s = *settings_;
        for (QLineEdit *e : {s.factoryNumberEdit, s.apnEdit, s.serverIpEdit, s.localIpEdit, s.localPortEdit, s.gatewayIpEdit})
            e->clear();
        {
            DetachedHooks unchecked(*panelTable_, {Dataset::Hook::BeforePost});
            panelTable_->clear();
        }
        if (reserveList_)
            reserveList_->clearList();
        reserveIps_.fill(0);
        if (!engine_->startLanRead()) {
            enableLinkCommands();
            return;
        }
        waitWhile([this] { return engine_->lanExchangeRunning(); });
    });
}

void MainWindow::onReadFinished(const TransferResult &result)
{
    // The received blocks go into the image also when the read failed half-way.
    const QByteArray read = engine_->readImage();
    if (read.size() == image_.size())
        std::memcpy(image_.data(), read.constData(), std::size_t(read.size()));
    showTransferMessage(result);
    if (result.succeeded())
        fillWindowFromImage();
    enableLinkCommands();
}

QString MainWindow::panelTypeName(int typeId) const
{
    // N_PPK keeps 20 characters; a type the list does not know is still read and named so.
    const PanelType *type = typeTable_.find(typeId);
    return type ? panelTypeText(type->nameCentral) : unknownPanelTypeText();
}

void MainWindow::fillWindowFromImage()
{
    // Settings in the read's order (the switches: protocol, then conversion, then the mode without
    // its confirmation); Dhcp keeps its value.
    TransceiverConfig config = currentConfig();
    image_.decodeSettingsInto(config);

    // Panels: every used slot, its stored type code translated, sorted by object number as every
    // posted row re-sorts the table.
    QList<PanelRecord> rows = image_.panelRows(variant_.legacyMapLastCodeOnRead);
    sortRowsAsTable(rows);
    config.panels = rows;

    // Reserve servers: the non-zero entries close up in the list; stored entries follow the list.
    const QList<quint32> reserve =
        reserveAddresses(image_.settings() + settingOffset(SettingField::Reserve));
    config.reserveIps.fill(0);
    QStringList reserveTexts;
    for (int k = 0; k < reserve.size() && k < kReserveServers; ++k) {
        config.reserveIps[std::size_t(k)] = reserve.at(k);
        reserveTexts << ipToText(reserve.at(k));
    }

    if (reserveList_)
        reserveList_->setAddressTexts(reserveTexts);
    showTakenConfig(config);
}

void MainWindow::showTakenConfig(TransceiverConfig config)
{
    // Rows taken from a transceiver or a file are stored unchecked, each named from the type list.
    for (PanelRecord &row : config.panels)
        row.nPpk = panelTypeName(row.typeId);
    panelView_->panelNavigator->setEnabled(false);
    applyConfig(config);
    panelView_->showFilledTable();
    panelView_->panelNavigator->setEnabled(true);
}

} // namespace talvir

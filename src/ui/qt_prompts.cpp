#include "qt_prompts.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace talvir {

namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok: return QMessageBox::Ok;
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageButtons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton toQtButton(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::None: return QMessageBox::NoButton;
    case MessageAnswer::Ok: return QMessageBox::Ok;
    case MessageAnswer::Cancel: return QMessageBox::Cancel;
    case MessageAnswer::Yes: return QMessageBox::Yes;
    case MessageAnswer::No: return QMessageBox::No;
    case MessageAnswer::Retry: return QMessageBox::Retry;
    case MessageAnswer::Abort: return QMessageBox::Abort;
    case MessageAnswer::Ignore: return QMessageBox::Ignore;
    }
    return QMessageBox::NoButton;
}

MessageAnswer fromQtButton(int button)
{
    switch (button) {
    case QMessageBox::Ok: return MessageAnswer::Ok;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Retry: return MessageAnswer::Retry;
    case QMessageBox::Abort: return MessageAnswer::Abort;
    case QMessageBox::Ignore: return MessageAnswer::Ignore;
    default: return MessageAnswer::None;
    }
}

std::optional<QString> runFileDialog(QWidget *parent, const FileRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.filter.isEmpty())
        dialog.setNameFilter(request.filter);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.folder.isEmpty())
        dialog.setDirectory(request.folder);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

MessageAnswer QtPrompts::message(const UserMessage &request)
{
    QMessageBox box(toQtIcon(request.icon), request.title, request.text, toQtButtons(request.buttons), parent_);
    if (request.defaultButton != MessageAnswer::None)
        box.setDefaultButton(toQtButton(request.defaultButton));
    if (request.onTop)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return fromQtButton(box.exec());
}

std::optional<QString> QtPrompts::inputBox(const QString &caption, const QString &prompt, const QString &initialText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, initialText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> QtPrompts::openFile(const FileRequest &request)
{
    return runFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPrompts::saveFile(const FileRequest &request)
{
    return runFileDialog(parent_, request, QFileDialog::AcceptSave);
}

std::optional<QString> QtPrompts::pickSerialPort(const QString &title)
{
    QDialog dialog(parent_);
    dialog.setWindowTitle(title);
    auto *layout = new QVBoxLayout(&dialog);
    auto *ports = new QComboBox(&dialog);
    ports->setEditable(true);
    ports->setInsertPolicy(QComboBox::NoInsert);
    ports->setMinimumContentsLength(28);
    // The listed ports carry their system name; a typed path (a pseudo-terminal, which the system
    // does not list) is taken as it is.
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString shown = info.description().isEmpty()
            ? info.portName()
            : QStringLiteral("%1 (%2)").arg(info.portName(), info.description());
        ports->addItem(shown, info.portName());
    }
    ports->lineEdit()->setPlaceholderText(QStringLiteral("COM1, /dev/ttyUSB0"));
    layout->addWidget(ports);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QString typed = ports->currentText().trimmed();
    if (typed.isEmpty())
        return std::nullopt;
    const int listed = ports->findText(typed);
    if (listed >= 0)
        return ports->itemData(listed).toString();
    return typed;
}

} // namespace talvir

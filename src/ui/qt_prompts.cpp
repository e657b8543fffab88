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

QMessageBox::Icon toQtIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::None: return QMessageBox::NoIcon;
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return QMessageBox::Ok;
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case PromptButtons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton toQtButton(PromptAnswer answer)
{
    switch (answer) {
    case PromptAnswer::None: return QMessageBox::NoButton;
    case PromptAnswer::Ok: return QMessageBox::Ok;
    case PromptAnswer::Cancel: return QMessageBox::Cancel;
    case PromptAnswer::Yes: return QMessageBox::Yes;
    case PromptAnswer::No: return QMessageBox::No;
    case PromptAnswer::Retry: return QMessageBox::Retry;
    case PromptAnswer::Abort: return QMessageBox::Abort;
    case PromptAnswer::Ignore: return QMessageBox::Ignore;
    }
    return QMessageBox::NoButton;
}

PromptAnswer fromQtButton(int button)
{
    switch (button) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Retry: return PromptAnswer::Retry;
    case QMessageBox::Abort: return PromptAnswer::Abort;
    case QMessageBox::Ignore: return PromptAnswer::Ignore;
    default: return PromptAnswer::None;
    }
}

// The windows' filters are written as "Description|*.ext|Description|*.*"; Qt wants
// "Description (*.ext);;Description (*.*)".
QString toQtFilter(const QString &filter)
{
    if (!filter.contains(QLatin1Char('|')))
        return filter;
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns);
    }
    return out.join(QStringLiteral(";;"));
}

std::optional<QString> runFileDialog(QWidget *parent, const FileRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.filter.isEmpty())
        dialog.setNameFilter(toQtFilter(request.filter));
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

PromptAnswer QtPrompts::message(const MessageRequest &request)
{
    QMessageBox box(toQtIcon(request.icon), request.title, request.text, toQtButtons(request.buttons), parent_);
    if (request.defaultButton != PromptAnswer::None)
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

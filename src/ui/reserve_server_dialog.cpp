#include "reserve_server_dialog.h"

#include "tables/reserve_list.h"

#include "core/ip_text.h"
#include "ui/error_report.h"
#include "ui/prompts.h"
#include "core/variant.h"
#include "tables/dataset.h"
#include "ui/dataset_navigator.h"

#include <QAbstractItemDelegate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QAbstractButton>
#include <QTableView>
#include <QVBoxLayout>

namespace talvir {

namespace {

QString listTitle() { return QStringLiteral("Список IP-адресов резервных СИ"); }
QString rowTitle() { return QStringLiteral("Запись IP - адреса"); }
constexpr int kAddressField = kReserveAddressField;

} // namespace

ReserveServerDialog::ReserveServerDialog(const Variant &variant, PromptService &prompts, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), variant_(variant), prompts_(prompts)
{
    setObjectName(QStringLiteral("ReserveServerDialog"));
    setWindowTitle(listTitle());
    setModal(true);

    reserveList = newReserveList(this);
    reserveList->setBeforeInsert([this] { return allowInsert(); });
    reserveList->setBeforePost([this] { return checkAddressRow(); });
    reserveList->setAfterPost([this] { showRowCount(); });
    reserveList->setAfterDelete([this] { showRowCount(); });

    auto *layout = new QVBoxLayout(this);
    addressGrid = new QTableView(this);
    addressGrid->setAccessibleName(QStringLiteral("Список IP-адресов резервных СИ"));
    addressGrid->setObjectName(QStringLiteral("addressGrid"));
    addressGrid->setModel(reserveList);
    addressGrid->verticalHeader()->setDefaultSectionSize(22);
    addressGrid->horizontalHeader()->setStretchLastSection(true);
    addressGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    addressGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    // The corner button of the row header selects the list: say so to assistive tools.
    if (auto *corner = addressGrid->findChild<QAbstractButton *>())
        corner->setAccessibleName(QStringLiteral("Выделить все"));
    addressGrid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                             QAbstractItemView::EditKeyPressed);
    addressGrid->installEventFilter(this);
    layout->addWidget(addressGrid, 1);
    connect(addressGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { gridRowChanged(current.row()); });
    connect(reserveList, &Dataset::currentRowChanged, this, [this] { syncGridRow(); });

    navigator = new DatasetNavigator(DatasetNavigator::allButtons(), this);
    navigator->setObjectName(QStringLiteral("navigator"));
    connect(navigator, &DatasetNavigator::clicked, this, [this](DatasetNavigator::Button b) { runNavigatorButton(b); });
    layout->addWidget(navigator);

    auto *bottom = new QHBoxLayout;
    clearButton = new QPushButton(QStringLiteral("Очистить список"), this);
    clearButton->setObjectName(QStringLiteral("clearButton"));
    clearButton->setAutoDefault(false);
    connect(clearButton, &QPushButton::clicked, this, [this] { askAndClearList(); });
    countLabel = new QLabel(this);
    countLabel->setObjectName(QStringLiteral("countLabel"));
    bottom->addWidget(clearButton);
    bottom->addStretch();
    bottom->addWidget(countLabel);
    layout->addLayout(bottom);

    setFixedSize(340, 440);
}

template <typename F>
bool ReserveServerDialog::guardedAction(F &&fn)
{
    return guarded(prompts_, errorReportTitle(variant_), std::forward<F>(fn));
}

void ReserveServerDialog::clearList()
{
    closeEditorWithoutCommit();
    reserveList->clear();
    countLabel->setText(QString::number(reserveList->recordCount()));
}

void ReserveServerDialog::setAddressTexts(const QStringList &texts)
{
    clearList();
    // Each text goes in as a typed row would, so the row checks and the counter run for it.
    for (const QString &text : texts) {
        guardedAction([&] {
            if (reserveList->append()) {
                reserveList->setFieldValue(kAddressField, text);
                reserveList->post();
            }
        });
        // A text that is not an address stays out of the list.
        reserveList->cancel();
    }
    reserveList->first();
    countLabel->setText(QString::number(reserveList->recordCount()));
}

QStringList ReserveServerDialog::addressTexts() const
{
    QStringList out;
    for (const Dataset::Row &row : reserveList->storedRows())
        out << row.value(kAddressField).toString();
    return out;
}

int ReserveServerDialog::rowCount() const
{
    return reserveList->recordCount();
}

// Navigator and rows

bool ReserveServerDialog::allowInsert()
{
    if (reserveList->recordCount() < kReserveServers) {
        navigator->setEnabled(true);
        return true;
    }
    prompts_.message(rowTitle(), QStringLiteral("Превышение допустимого числа IP - адресов"), MessageIcon::Error,
                     MessageButtons::Ok, MessageAnswer::None, true);
    navigator->setEnabled(false);
    return false;
}

bool ReserveServerDialog::checkAddressRow()
{
    // A part that is not a whole number is reported as the general error report does, and the row
    // stays open for correction.
    QString notANumber;
    const std::optional<quint32> address = ipFromText(reserveList->fieldValue(kAddressField).toString(), &notANumber);
    if (!address) {
        reportError(prompts_, errorReportTitle(variant_), notANumber);
        reserveList->keepPendingRow();
        return false;
    }
    if (*address != 0) {
        navigator->setEnabled(true);
        return true;
    }
    prompts_.message(rowTitle(), QStringLiteral("Нарушен формат IP-адреса"), MessageIcon::Error, MessageButtons::Ok,
                     MessageAnswer::None, true);
    navigator->setEnabled(false);
    return false;
}

void ReserveServerDialog::showRowCount()
{
    countLabel->setText(QString::number(reserveList->recordCount()));
}

bool ReserveServerDialog::confirmDelete()
{
    return prompts_.message(QStringLiteral("Confirm"), QStringLiteral("Delete record?"), MessageIcon::Question,
                            MessageButtons::OkCancel) == MessageAnswer::Ok;
}

void ReserveServerDialog::runNavigatorButton(int button)
{
    switch (DatasetNavigator::Button(button)) {
    case DatasetNavigator::Cancel:
        closeEditorWithoutCommit();
        reserveList->cancel();
        break;
    case DatasetNavigator::Delete:
        if (reserveList->rowCount() == 0)
            break;
        closeEditorWithoutCommit();
        if (confirmDelete())
            reserveList->remove();
        break;
    default:
        commitEditor();
        guardedAction([&] {
            switch (DatasetNavigator::Button(button)) {
            case DatasetNavigator::First: reserveList->first(); break;
            case DatasetNavigator::Prior: reserveList->prior(); break;
            case DatasetNavigator::Next: reserveList->next(); break;
            case DatasetNavigator::Last: reserveList->last(); break;
            case DatasetNavigator::Insert: reserveList->insert(); break;
            case DatasetNavigator::Edit: reserveList->edit(); break;
            case DatasetNavigator::Post: reserveList->post(); break;
            default: break;
            }
        });
        break;
    }
    syncGridRow();
    addressGrid->setFocus();
}

QWidget *ReserveServerDialog::openEditor() const
{
    // A closed editor lingers hidden until it is deleted; only a shown one holds typed text.
    QWidget *editor = addressGrid->indexWidget(addressGrid->currentIndex());
    return editor && editor->isVisible() ? editor : nullptr;
}

void ReserveServerDialog::commitEditor()
{
    QWidget *editor = openEditor();
    if (!editor)
        return;
    QAbstractItemDelegate *delegate = addressGrid->itemDelegateForIndex(addressGrid->currentIndex());
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void ReserveServerDialog::closeEditorWithoutCommit()
{
    QWidget *editor = openEditor();
    if (!editor)
        return;
    emit addressGrid->itemDelegateForIndex(addressGrid->currentIndex())
        ->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void ReserveServerDialog::gridRowChanged(int row)
{
    if (syncing_ || row < 0 || row == reserveList->currentRow())
        return;
    // Leaving a row stores it through the row checks; a conversion error keeps the technician on it.
    guardedAction([&] { reserveList->moveTo(row); });
    syncGridRow();
}

void ReserveServerDialog::syncGridRow()
{
    const int row = reserveList->currentRow();
    const QModelIndex target = reserveList->index(row, kAddressField);
    if (addressGrid->currentIndex() == target)
        return;
    syncing_ = true;
    if (row < 0)
        addressGrid->selectionModel()->clearCurrentIndex();
    else
        addressGrid->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
    syncing_ = false;
}

bool ReserveServerDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The grid's own keys, as a data grid handles them: Insert opens a new row, Down on the last row
    // appends one, Ctrl+Delete deletes after the question, Escape drops the pending row.
    if (watched == addressGrid && event->type() == QEvent::KeyPress &&
        !openEditor()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
            guardedAction([&] { reserveList->insert(); });
            syncGridRow();
            return true;
        }
        if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier &&
            reserveList->currentRow() == reserveList->rowCount() - 1 &&
            !(reserveList->state() == Dataset::State::Insert && !reserveList->isModified())) {
            guardedAction([&] { reserveList->append(); });
            syncGridRow();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            if (reserveList->rowCount() > 0 && confirmDelete())
                reserveList->remove();
            syncGridRow();
            return true;
        }
        if (key->key() == Qt::Key_Escape && reserveList->isEditing()) {
            reserveList->cancel();
            syncGridRow();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Window

void ReserveServerDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    showFirstRow();
}

void ReserveServerDialog::showFirstRow()
{
    guardedAction([&] { reserveList->first(); });
    syncGridRow();
    countLabel->setText(QString::number(reserveList->recordCount()));
}

void ReserveServerDialog::done(int result)
{
    if (!settleAndAskToSave())
        return;
    QDialog::done(result);
}

bool ReserveServerDialog::settleAndAskToSave()
{
    commitEditor();
    // A changed row is stored through the checks, an untouched new one dropped; a conversion error
    // keeps the window open with the row still open for correction.
    if (!guardedAction([&] { reserveList->checkBrowseMode(); }) || reserveList->state() != Dataset::State::Browse)
        return false;
    syncGridRow();
    const MessageAnswer answer = prompts_.message(listTitle(), QStringLiteral("Сохранить список?"),
                                                 MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes, true);
    if (answer != MessageAnswer::Yes)
        return true;
    // All texts are converted before anything is stored, so a conversion error stores nothing.
    Addresses addresses{};
    const bool converted = guardedAction([&] {
        const QStringList texts = addressTexts();
        for (int n = 0; n < texts.size() && n < kReserveServers; ++n)
            addresses[std::size_t(n)] = addressOrStop(texts.at(n));
    });
    if (!converted)
        return false;
    stored_ = addresses;
    return true;
}

void ReserveServerDialog::askAndClearList()
{
    const MessageAnswer answer = prompts_.message(listTitle(), QStringLiteral("Очистить список?"),
                                                 MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No, true);
    if (answer == MessageAnswer::Yes) {
        commitEditor();
        if (guardedAction([&] { reserveList->checkBrowseMode(); }) && reserveList->state() == Dataset::State::Browse) {
            reserveList->clear();
            stored_.fill(0);
        }
    }
    syncGridRow();
    countLabel->setText(QString::number(reserveList->recordCount()));
}

} // namespace talvir

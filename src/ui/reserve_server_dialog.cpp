#include "reserve_server_dialog.h"

#include "core/prompts.h"
#include "tables/dataset.h"
#include "tables/dataset_command.h"
#include "tables/reserve_list.h"
#include "ui/dataset_navigator.h"
#include "ui/grid_follower.h"

#include <QAbstractButton>
#include <QAbstractItemDelegate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace talvir {

namespace {

QString listTitle() { return QStringLiteral("Список IP-адресов резервных СИ"); }

} // namespace

ReserveServerDialog::ReserveServerDialog(ReserveServers &servers, PromptService &prompts, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), servers_(servers), list_(*servers.list()), prompts_(prompts)
{
    setObjectName(QStringLiteral("ReserveServerDialog"));
    setWindowTitle(listTitle());
    setModal(true);
    connect(&servers_, &ReserveServers::countChanged, this, [this] { showCount(); });

    auto *layout = new QVBoxLayout(this);
    addressGrid = new QTableView(this);
    addressGrid->setAccessibleName(QStringLiteral("Список IP-адресов резервных СИ"));
    addressGrid->setObjectName(QStringLiteral("addressGrid"));
    addressGrid->setModel(&list_);
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
    // Leaving a row stores it through the row checks; a refused one keeps the technician on it.
    gridFollower_ = new GridFollower(addressGrid, list_, kReserveAddressField, [this](int row) { list_.moveTo(row); });

    navigator = new DatasetNavigator(DatasetNavigator::allButtons(), this);
    navigator->setObjectName(QStringLiteral("navigator"));
    connect(navigator, &DatasetNavigator::clicked, this, [this](DatasetNavigator::Button b) { runNavigatorButton(b); });
    connect(&servers_, &ReserveServers::navigationAllowed, navigator, &QWidget::setEnabled);
    layout->addWidget(navigator);

    auto *bottom = new QHBoxLayout;
    auto *clearButton = new QPushButton(QStringLiteral("Очистить список"), this);
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

void ReserveServerDialog::showCount()
{
    countLabel->setText(QString::number(list_.recordCount()));
}

// Navigator and rows

void ReserveServerDialog::runNavigatorButton(int button)
{
    // Cancel and Delete drop what the open cell holds; every other command takes it first.
    const auto command = DatasetCommand(button);
    if (command == DatasetCommand::Cancel || (command == DatasetCommand::Delete && list_.rowCount() > 0))
        closeEditorWithoutCommit();
    else if (command != DatasetCommand::Delete)
        commitEditor();
    runDatasetCommand(list_, command, prompts_);
    gridFollower_->sync();
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

bool ReserveServerDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The grid's own keys, as a data grid handles them: Insert opens a new row, Down on the last row
    // appends one, Ctrl+Delete deletes after the question, Escape drops the pending row.
    if (watched == addressGrid && event->type() == QEvent::KeyPress &&
        !openEditor()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
            list_.insert();
            gridFollower_->sync();
            return true;
        }
        if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier &&
            list_.currentRow() == list_.rowCount() - 1 &&
            !(list_.state() == Dataset::State::Insert && !list_.isModified())) {
            list_.append();
            gridFollower_->sync();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            runDatasetCommand(list_, DatasetCommand::Delete, prompts_);
            gridFollower_->sync();
            return true;
        }
        if (key->key() == Qt::Key_Escape && list_.isEditing()) {
            list_.cancel();
            gridFollower_->sync();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Window

void ReserveServerDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    list_.first();
    gridFollower_->sync();
    showCount();
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
    // A changed row is stored through the checks, an untouched new one dropped; a row the checks
    // refused keeps the window open for correction.
    if (!servers_.settle())
        return false;
    gridFollower_->sync();
    const MessageAnswer answer = prompts_.message(listTitle(), QStringLiteral("Сохранить список?"),
                                                 MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes, true);
    return answer != MessageAnswer::Yes || servers_.saveList();
}

void ReserveServerDialog::askAndClearList()
{
    const MessageAnswer answer = prompts_.message(listTitle(), QStringLiteral("Очистить список?"),
                                                 MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No, true);
    if (answer == MessageAnswer::Yes) {
        commitEditor();
        servers_.clearAll();
    }
    gridFollower_->sync();
    showCount();
}

} // namespace talvir

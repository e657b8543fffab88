#include "tform_al.h"

#include "app/ip_text.h"
#include "app/ui/error_report.h"
#include "app/ui/prompts.h"
#include "app/variant.h"
#include "edit/dataset.h"
#include "edit/ui/db_navigator.h"

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
QString rowTitle() { return QStringLiteral("Запись IP - адреса"); }
constexpr int TrnIP = 0;

} // namespace

TForm_AL::TForm_AL(const Variant &variant, PromptService &prompts, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), variant_(variant), prompts_(prompts)
{
    setObjectName(QStringLiteral("TForm_AL"));
    setWindowTitle(listTitle());
    setModal(true);

    TrListDB = new Dataset({QStringLiteral("TrnIP")}, this);
    TrListDB->setObjectName(QStringLiteral("TrListDB"));
    TrListDB->setFieldCaption(TrnIP, QStringLiteral("IP-адрес резервного СИ"));
    TrListDB->setBeforeInsert([this] { return TrListDBBeforeInsert(); });
    TrListDB->setBeforePost([this] { return TrListDBBeforePost(); });
    TrListDB->setAfterPost([this] { TrListDBAfterPost(); });
    TrListDB->setAfterDelete([this] { TrListDBAfterPost(); });

    auto *layout = new QVBoxLayout(this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(TrListDB);
    DBGrid1->verticalHeader()->setDefaultSectionSize(22);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                             QAbstractItemView::EditKeyPressed);
    DBGrid1->installEventFilter(this);
    layout->addWidget(DBGrid1, 1);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { gridRowChanged(current.row()); });
    connect(TrListDB, &Dataset::currentRowChanged, this, [this] { syncGridRow(); });

    Nav = new DbNavigator(DbNavigator::allButtons(), this);
    Nav->setObjectName(QStringLiteral("Nav"));
    connect(Nav, &DbNavigator::clicked, this, [this](DbNavigator::Button b) { NavClick(b); });
    layout->addWidget(Nav);

    auto *bottom = new QHBoxLayout;
    Button1 = new QPushButton(QStringLiteral("Очистить список"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    TrCnt = new QLabel(this);
    TrCnt->setObjectName(QStringLiteral("TrCnt"));
    bottom->addWidget(Button1);
    bottom->addStretch();
    bottom->addWidget(TrCnt);
    layout->addLayout(bottom);

    setFixedSize(340, 440);
}

template <typename F>
bool TForm_AL::guardedAction(F &&fn)
{
    return guarded(prompts_, errorReportTitle(variant_), std::forward<F>(fn));
}

void TForm_AL::clearList()
{
    closeEditorWithoutCommit();
    TrListDB->clear();
    TrCnt->setText(QString::number(TrListDB->recordCount()));
}

void TForm_AL::setAddressTexts(const QStringList &texts)
{
    clearList();
    // Each text goes in as a typed row would, so the row checks and the counter run for it.
    for (const QString &text : texts) {
        const bool stored = guardedAction([&] {
            if (TrListDB->append()) {
                TrListDB->setFieldValue(TrnIP, text);
                TrListDB->post();
            }
        });
        if (!stored)
            TrListDB->cancel();
    }
    TrListDB->first();
    TrCnt->setText(QString::number(TrListDB->recordCount()));
}

QStringList TForm_AL::addressTexts() const
{
    QStringList out;
    for (const Dataset::Row &row : TrListDB->storedRows())
        out << row.value(TrnIP).toString();
    return out;
}

int TForm_AL::rowCount() const
{
    return TrListDB->recordCount();
}

// Navigator and rows

bool TForm_AL::TrListDBBeforeInsert()
{
    if (TrListDB->recordCount() < kReserveServers) {
        Nav->setEnabled(true);
        return true;
    }
    prompts_.message(rowTitle(), QStringLiteral("Превышение допустимого числа IP - адресов"), PromptIcon::Error,
                     PromptButtons::Ok, PromptAnswer::None, true);
    Nav->setEnabled(false);
    return false;
}

bool TForm_AL::TrListDBBeforePost()
{
    // A part that is not a whole number throws here: the row stays open for correction.
    if (TextToIP(TrListDB->fieldValue(TrnIP).toString()) != 0) {
        Nav->setEnabled(true);
        return true;
    }
    prompts_.message(rowTitle(), QStringLiteral("Нарушен формат IP-адреса"), PromptIcon::Error, PromptButtons::Ok,
                     PromptAnswer::None, true);
    Nav->setEnabled(false);
    return false;
}

void TForm_AL::TrListDBAfterPost()
{
    TrCnt->setText(QString::number(TrListDB->recordCount()));
}

bool TForm_AL::confirmDelete()
{
    return prompts_.message(QStringLiteral("Confirm"), QStringLiteral("Delete record?"), PromptIcon::Question,
                            PromptButtons::OkCancel) == PromptAnswer::Ok;
}

void TForm_AL::NavClick(int button)
{
    switch (DbNavigator::Button(button)) {
    case DbNavigator::Cancel:
        closeEditorWithoutCommit();
        TrListDB->cancel();
        break;
    case DbNavigator::Delete:
        if (TrListDB->rowCount() == 0)
            break;
        closeEditorWithoutCommit();
        if (confirmDelete())
            TrListDB->remove();
        break;
    default:
        commitEditor();
        guardedAction([&] {
            switch (DbNavigator::Button(button)) {
            case DbNavigator::First: TrListDB->first(); break;
            case DbNavigator::Prior: TrListDB->prior(); break;
            case DbNavigator::Next: TrListDB->next(); break;
            case DbNavigator::Last: TrListDB->last(); break;
            case DbNavigator::Insert: TrListDB->insert(); break;
            case DbNavigator::Edit: TrListDB->edit(); break;
            case DbNavigator::Post: TrListDB->post(); break;
            default: break;
            }
        });
        break;
    }
    syncGridRow();
    DBGrid1->setFocus();
}

QWidget *TForm_AL::openEditor() const
{
    // A closed editor lingers hidden until it is deleted; only a shown one holds typed text.
    QWidget *editor = DBGrid1->indexWidget(DBGrid1->currentIndex());
    return editor && editor->isVisible() ? editor : nullptr;
}

void TForm_AL::commitEditor()
{
    QWidget *editor = openEditor();
    if (!editor)
        return;
    QAbstractItemDelegate *delegate = DBGrid1->itemDelegateForIndex(DBGrid1->currentIndex());
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TForm_AL::closeEditorWithoutCommit()
{
    QWidget *editor = openEditor();
    if (!editor)
        return;
    emit DBGrid1->itemDelegateForIndex(DBGrid1->currentIndex())
        ->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void TForm_AL::gridRowChanged(int row)
{
    if (syncing_ || row < 0 || row == TrListDB->currentRow())
        return;
    // Leaving a row stores it through the row checks; a conversion error keeps the technician on it.
    guardedAction([&] { TrListDB->moveTo(row); });
    syncGridRow();
}

void TForm_AL::syncGridRow()
{
    const int row = TrListDB->currentRow();
    const QModelIndex target = TrListDB->index(row, TrnIP);
    if (DBGrid1->currentIndex() == target)
        return;
    syncing_ = true;
    if (row < 0)
        DBGrid1->selectionModel()->clearCurrentIndex();
    else
        DBGrid1->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
    syncing_ = false;
}

bool TForm_AL::eventFilter(QObject *watched, QEvent *event)
{
    // The grid's own keys, as a data grid handles them: Insert opens a new row, Down on the last row
    // appends one, Ctrl+Delete deletes after the question, Escape drops the pending row.
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress &&
        !openEditor()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
            guardedAction([&] { TrListDB->insert(); });
            syncGridRow();
            return true;
        }
        if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier &&
            TrListDB->currentRow() == TrListDB->rowCount() - 1 &&
            !(TrListDB->state() == Dataset::State::Insert && !TrListDB->isModified())) {
            guardedAction([&] { TrListDB->append(); });
            syncGridRow();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            if (TrListDB->rowCount() > 0 && confirmDelete())
                TrListDB->remove();
            syncGridRow();
            return true;
        }
        if (key->key() == Qt::Key_Escape && TrListDB->isEditing()) {
            TrListDB->cancel();
            syncGridRow();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Window

void TForm_AL::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TForm_AL::FormActivate()
{
    guardedAction([&] { TrListDB->first(); });
    syncGridRow();
    TrCnt->setText(QString::number(TrListDB->recordCount()));
}

void TForm_AL::done(int result)
{
    if (!FormClose())
        return;
    QDialog::done(result);
}

bool TForm_AL::FormClose()
{
    commitEditor();
    // A changed row is stored through the checks, an untouched new one dropped; a conversion error
    // keeps the window open with the row still open for correction.
    if (!guardedAction([&] { TrListDB->checkBrowseMode(); }))
        return false;
    syncGridRow();
    const PromptAnswer answer = prompts_.message(listTitle(), QStringLiteral("Сохранить список?"),
                                                 PromptIcon::Question, PromptButtons::YesNo, PromptAnswer::Yes, true);
    if (answer != PromptAnswer::Yes)
        return true;
    // All texts are converted before anything is stored, so a conversion error stores nothing.
    Addresses addresses{};
    const bool converted = guardedAction([&] {
        const QStringList texts = addressTexts();
        for (int n = 0; n < texts.size() && n < kReserveServers; ++n)
            addresses[std::size_t(n)] = TextToIP(texts.at(n));
    });
    if (!converted)
        return false;
    stored_ = addresses;
    return true;
}

void TForm_AL::Button1Click()
{
    const PromptAnswer answer = prompts_.message(listTitle(), QStringLiteral("Очистить список?"),
                                                 PromptIcon::Question, PromptButtons::YesNo, PromptAnswer::No, true);
    if (answer == PromptAnswer::Yes) {
        commitEditor();
        if (guardedAction([&] { TrListDB->checkBrowseMode(); })) {
            TrListDB->clear();
            stored_.fill(0);
        }
    }
    syncGridRow();
    TrCnt->setText(QString::number(TrListDB->recordCount()));
}

} // namespace talvir

#include "object_list_dialog.h"

#include "console/console_check.h"
#include "core/variant.h"
#include "tables/panel_table.h"
#include "ui/panel_table_view.h"
#include "ui/prompts.h"
#include "ui/radio_group.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace talvir {

namespace {

constexpr int kObjectId = Qt::UserRole;

// The grid's repaints wait while the import appends rows, and resume however the import ends.
class FrozenGrid {
public:
    explicit FrozenGrid(QWidget *grid) : grid_(grid) { grid_->setUpdatesEnabled(false); }
    ~FrozenGrid() { grid_->setUpdatesEnabled(true); }

private:
    QWidget *grid_;
};

} // namespace

ObjectListDialog::ObjectListDialog(const Variant &variant, PromptService &prompts, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::WindowStaysOnTopHint),
      variant_(variant), prompts_(prompts), import_(variant)
{
    setObjectName(QStringLiteral("ObjectListDialog"));
    setWindowTitle(QStringLiteral("Список объектов"));
    setModal(false);
    resize(598, 402);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 0);
    auto *body = new QHBoxLayout;
    objectList = new QListWidget(this);
    objectList->setAccessibleName(QStringLiteral("Список объектов"));
    objectList->setObjectName(QStringLiteral("objectList"));
    objectList->installEventFilter(this);
    body->addWidget(objectList, 1);

    auto *side = new QVBoxLayout;
    modeGroup = new RadioGroup(QStringLiteral(" Режим трансивера "),
                               {QStringLiteral("Основной"), QStringLiteral("Тестовый"), QStringLiteral("GPRS"),
                                QStringLiteral("Ethernet")},
                               1, this);
    modeGroup->setObjectName(QStringLiteral("modeGroup"));
    {
        const QSignalBlocker quiet(modeGroup);
        modeGroup->setItemIndex(2);
    }
    side->addWidget(modeGroup);
    runButton = new QPushButton(QStringLiteral("Выполнить"), this);
    runButton->setObjectName(QStringLiteral("runButton"));
    selectAllButton = new QPushButton(QStringLiteral("Выделить все"), this);
    selectAllButton->setObjectName(QStringLiteral("selectAllButton"));
    unselectAllButton = new QPushButton(QStringLiteral("Отменить все"), this);
    unselectAllButton->setObjectName(QStringLiteral("unselectAllButton"));
    for (QPushButton *b : {runButton, selectAllButton, unselectAllButton}) {
        b->setAutoDefault(false);
        side->addWidget(b);
    }
    side->addStretch();
    body->addLayout(side);
    outer->addLayout(body, 1);

    auto *sb = new QStatusBar(this);
    sb->setObjectName(QStringLiteral("statusText"));
    sb->setSizeGripEnabled(false);
    totalLabel = new QLabel(sb);
    totalLabel->setFixedWidth(300);
    selectedLabel = new QLabel(sb);
    selectedLabel->setMinimumWidth(50);
    sb->addWidget(totalLabel);
    sb->addWidget(selectedLabel, 1);
    outer->addWidget(sb);

    connect(runButton, &QPushButton::clicked, this, &ObjectListDialog::runImport);
    connect(selectAllButton, &QPushButton::clicked, this, &ObjectListDialog::selectAll);
    connect(unselectAllButton, &QPushButton::clicked, this, &ObjectListDialog::unselectAll);
    // A click counts the ticks; keyboard ticking leaves the status line as it was.
    connect(objectList, &QListWidget::itemClicked, this, &ObjectListDialog::updateCounters);
}

bool ObjectListDialog::openList(Mode mode, qint32 factoryNumber)
{
    mode_ = mode;
    if (!import_.openObjectList(factoryNumber)) {
        const QString cause = consoleFailureCause();
        prompts_.message(QStringLiteral("Конфигурирование"),
                         QStringLiteral("Приложение \"Zavevo duravezad\" не выполняется!\n\n") +
                             (cause.isEmpty() ? import_.error() : cause),
                         MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::None, true);
        import_.close();
        emit consoleUnavailable();
        return false;
    }
    fillList();
    show();
    raise();
    return true;
}

void ObjectListDialog::fillList()
{
    objectList->clear();
    for (const ConsoleObject &o : import_.objects()) {
        auto *item = new QListWidgetItem(o.line, objectList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(kObjectId, o.id);
    }
    QFont font(QStringLiteral("Times New Roman"), 14);
    totalLabel->setFont(font);
    selectedLabel->setFont(font);
    updateCounters();

    PanelTable &table = *view_->table();
    if (mode_ == Mode::Replace) {
        // The table is closed in replace mode: its rows are gone whether or not the import runs.
        table.setRows({});
    }
    detachTableHooks();
    if (objectList->count() > 0)
        objectList->setCurrentRow(0);
}

void ObjectListDialog::detachTableHooks()
{
    PanelTable &table = *view_->table();
    for (Dataset::Hook h : {Dataset::Hook::BeforePost, Dataset::Hook::AfterPost}) {
        if (table.isAttached(h) && !detached_.contains(h)) {
            table.detach(h);
            detached_.append(h);
        }
    }
}

void ObjectListDialog::attachTableHooks()
{
    if (!view_)
        return;
    for (Dataset::Hook h : detached_)
        view_->table()->attach(h);
    detached_.clear();
}

void ObjectListDialog::updateCounters()
{
    int ticked = 0;
    for (int i = 0; i < objectList->count(); ++i) {
        if (objectList->item(i)->checkState() == Qt::Checked)
            ++ticked;
    }
    totalLabel->setText(QStringLiteral("Всего объектов - ") + QString::number(objectList->count()));
    selectedLabel->setText(QStringLiteral("Выбрано объектов - ") + QString::number(ticked));
}

void ObjectListDialog::selectAll()
{
    for (int i = 0; i < objectList->count(); ++i)
        objectList->item(i)->setCheckState(Qt::Checked);
    updateCounters();
}

void ObjectListDialog::unselectAll()
{
    for (int i = 0; i < objectList->count(); ++i)
        objectList->item(i)->setCheckState(Qt::Unchecked);
    updateCounters();
}

void ObjectListDialog::tickRange(int from, int to)
{
    for (int i = qMin(from, to); i <= qMax(from, to) && i < objectList->count(); ++i) {
        QListWidgetItem *item = objectList->item(i);
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

bool ObjectListDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Shift with End, Home, Up or Down inverts ticks before the list moves its cursor.
    if (watched == objectList && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int at = objectList->currentRow();
        if (key->modifiers() & Qt::ShiftModifier && at >= 0) {
            switch (key->key()) {
            case Qt::Key_End: tickRange(at, objectList->count() - 1); break;
            case Qt::Key_Home: tickRange(0, at); break;
            case Qt::Key_Up:
            case Qt::Key_Down: tickRange(at, at); break;
            default: break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ObjectListDialog::runImport()
{
    PanelTable &table = *view_->table();
    // A row the navigator's Insert left open is settled through the check first, as a write does.
    table.attach(Dataset::Hook::BeforePost);
    view_->settle();
    table.detach(Dataset::Hook::BeforePost);
    if (mode_ == Mode::Replace)
        table.setRows({});

    {
        const FrozenGrid frozen(view_->panelGrid);
        for (int i = 0; i < objectList->count(); ++i) {
            if (objectList->item(i)->checkState() != Qt::Checked)
                continue;
            const bool fits = importLine(i);
            view_->panelCountLabel->setText(QStringLiteral("O\u0431\u044a\u0435\u043a\u0442\u043e\u0432 %1")
                                                .arg(table.recordCount())); // a Latin "O", as ever
            table.first();
            if (!fits)
                return; // the window stays open, the lines still ticked stay ticked
        }
    }
    close();
}

bool ObjectListDialog::importLine(int line)
{
    PanelTable &table = *view_->table();
    QList<ConsolePanel> panels;
    if (!import_.panelsOf(objectList->item(line)->data(kObjectId).toInt(), panels)) {
        prompts_.message(QStringLiteral("Конфигурирование"), import_.error(), MessageIcon::Error);
        return false;
    }
    for (const ConsolePanel &panel : panels) {
        const std::optional<PanelRecord> row = panelRecordFrom(panel, line, variant_);
        if (!row)
            continue; // a type without a protocol code is not imported
        if (table.recordCount() >= variant_.maxPanels) {
            prompts_.message(QStringLiteral("Ошибка выбора ППК"), QStringLiteral("Превышение допустимого числа ППК"),
                             MessageIcon::None);
            return false;
        }
        const QList<PanelRecord> rows = table.rows();
        const auto same = std::find_if(rows.begin(), rows.end(),
                                       [&](const PanelRecord &r) { return r.account == panel.account; });
        if (same != rows.end()) {
            const QString question = QStringLiteral("ППК № %1, объект № %2 уже существует. Перезаписать?")
                                         .arg(panel.account)
                                         .arg(panel.objRef);
            if (prompts_.message(QStringLiteral("Дублирование номера ППК"), question, MessageIcon::Warning,
                                 MessageButtons::YesNo, MessageAnswer::None, true) != MessageAnswer::Yes)
                continue;
            table.moveTo(int(same - rows.begin()));
            table.remove();
        }
        table.appendRow(*row);
        objectList->item(line)->setCheckState(Qt::Unchecked);
    }
    return true;
}

void ObjectListDialog::done(int result)
{
    attachTableHooks();
    import_.close();
    QDialog::done(result);
}

void ObjectListDialog::closeEvent(QCloseEvent *event)
{
    attachTableHooks();
    import_.close();
    QDialog::closeEvent(event);
}

} // namespace talvir

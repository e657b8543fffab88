#include "object_list_dialog.h"

#include "console/console_check.h"
#include "core/prompts.h"
#include "ui/radio_group.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>

namespace talvir {

ObjectListDialog::ObjectListDialog(const Variant &variant, PromptService &prompts, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::WindowStaysOnTopHint),
      prompts_(prompts), import_(variant)
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
    totalLabel->setObjectName(QStringLiteral("totalLabel"));
    totalLabel->setFixedWidth(300);
    selectedLabel = new QLabel(sb);
    selectedLabel->setObjectName(QStringLiteral("selectedLabel"));
    selectedLabel->setMinimumWidth(50);
    sb->addWidget(totalLabel);
    sb->addWidget(selectedLabel, 1);
    outer->addWidget(sb);

    connect(runButton, &QPushButton::clicked, this, &ObjectListDialog::runRequested);
    connect(selectAllButton, &QPushButton::clicked, this, &ObjectListDialog::selectAll);
    connect(unselectAllButton, &QPushButton::clicked, this, &ObjectListDialog::unselectAll);
    // A click counts the ticks; keyboard ticking leaves the status line as it was.
    connect(objectList, &QListWidget::itemClicked, this, &ObjectListDialog::updateCounters);
}

bool ObjectListDialog::openList(Mode mode, qint32 factoryNumber)
{
    // Asked again while on screen: the list stays as it is, ticks and all.
    if (isVisible()) {
        raise();
        return true;
    }
    mode_ = mode;
    if (!import_.openObjectList(factoryNumber)) {
        prompts_.message(consoleNotRunning(QStringLiteral("Конфигурирование"), MessageIcon::Warning,
                                           MessageButtons::YesNo, import_.error()));
        import_.close();
        emit consoleUnavailable();
        return false;
    }
    fillList();
    show();
    raise();
    emit opened();
    return true;
}

void ObjectListDialog::fillList()
{
    objectList->clear();
    for (const ConsoleObject &o : import_.objects()) {
        auto *item = new QListWidgetItem(o.line, objectList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    QFont font(QStringLiteral("Times New Roman"), 14);
    totalLabel->setFont(font);
    selectedLabel->setFont(font);
    updateCounters();
    if (objectList->count() > 0)
        objectList->setCurrentRow(0);
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

ObjectListDialog::Import ObjectListDialog::importInto(QList<PanelRecord> rows)
{
    Import result;
    result.rows = mode_ == Mode::Replace ? QList<PanelRecord>() : std::move(rows);
    for (int i = 0; i < objectList->count(); ++i) {
        if (objectList->item(i)->checkState() != Qt::Checked)
            continue;
        const ConsoleImport::ObjectImport line = import_.importObject(i, result.rows, prompts_);
        if (line.appended)
            objectList->item(i)->setCheckState(Qt::Unchecked);
        if (line.stopped) {
            result.complete = false; // the window stays open, the lines still ticked stay ticked
            break;
        }
    }
    return result;
}

void ObjectListDialog::done(int result)
{
    import_.close();
    QDialog::done(result);
    emit closed();
}

void ObjectListDialog::closeEvent(QCloseEvent *event)
{
    import_.close();
    QDialog::closeEvent(event);
    emit closed();
}

} // namespace talvir

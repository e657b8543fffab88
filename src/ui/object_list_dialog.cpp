#include "object_list_dialog.h"

#include "core/variant.h"
#include "ui/radio_group.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>

namespace talvir {

ObjectListDialog::ObjectListDialog(const Variant &variant, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::WindowStaysOnTopHint),
      variant_(variant)
{
    setObjectName(QStringLiteral("ObjectListDialog"));
    setWindowTitle(QStringLiteral("Список объектов"));
    setModal(false);
    resize(598, 402);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 0);
    auto *body = new QHBoxLayout;
    objectList = new QListWidget(this);
    objectList->setObjectName(QStringLiteral("objectList"));
    objectList->setSortingEnabled(true);
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
    side->addWidget(runButton);
    side->addWidget(selectAllButton);
    side->addWidget(unselectAllButton);
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

    connect(objectList, &QListWidget::itemChanged, this, &ObjectListDialog::updateCounters);
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

} // namespace talvir

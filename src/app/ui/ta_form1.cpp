#include "ta_form1.h"

#include "app/variant.h"
#include "edit/ui/radio_group.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>

namespace talvir {

TA_Form1::TA_Form1(const Variant &variant, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::WindowStaysOnTopHint),
      variant_(variant)
{
    setObjectName(QStringLiteral("TA_Form1"));
    setWindowTitle(QStringLiteral("Список объектов"));
    setModal(false);
    resize(598, 402);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 0);
    auto *body = new QHBoxLayout;
    OLListBox = new QListWidget(this);
    OLListBox->setObjectName(QStringLiteral("OLListBox"));
    OLListBox->setSortingEnabled(true);
    body->addWidget(OLListBox, 1);

    auto *side = new QVBoxLayout;
    ModeGroup = new RadioGroup(QStringLiteral(" Режим трансивера "),
                               {QStringLiteral("Основной"), QStringLiteral("Тестовый"), QStringLiteral("GPRS"),
                                QStringLiteral("Ethernet")},
                               1, this);
    ModeGroup->setObjectName(QStringLiteral("ModeGroup"));
    {
        const QSignalBlocker quiet(ModeGroup);
        ModeGroup->setItemIndex(2);
    }
    side->addWidget(ModeGroup);
    RxSpeedButton1 = new QPushButton(QStringLiteral("Выполнить"), this);
    RxSpeedButton1->setObjectName(QStringLiteral("RxSpeedButton1"));
    SelAll = new QPushButton(QStringLiteral("Выделить все"), this);
    SelAll->setObjectName(QStringLiteral("SelAll"));
    UnselAll = new QPushButton(QStringLiteral("Отменить все"), this);
    UnselAll->setObjectName(QStringLiteral("UnselAll"));
    side->addWidget(RxSpeedButton1);
    side->addWidget(SelAll);
    side->addWidget(UnselAll);
    side->addStretch();
    body->addLayout(side);
    outer->addLayout(body, 1);

    auto *sb = new QStatusBar(this);
    sb->setObjectName(QStringLiteral("SB"));
    sb->setSizeGripEnabled(false);
    SBTotal = new QLabel(sb);
    SBTotal->setFixedWidth(300);
    SBSelected = new QLabel(sb);
    SBSelected->setMinimumWidth(50);
    sb->addWidget(SBTotal);
    sb->addWidget(SBSelected, 1);
    outer->addWidget(sb);

    connect(OLListBox, &QListWidget::itemChanged, this, &TA_Form1::updateCounters);
}

void TA_Form1::updateCounters()
{
    int ticked = 0;
    for (int i = 0; i < OLListBox->count(); ++i) {
        if (OLListBox->item(i)->checkState() == Qt::Checked)
            ++ticked;
    }
    SBTotal->setText(QStringLiteral("Всего объектов - ") + QString::number(OLListBox->count()));
    SBSelected->setText(QStringLiteral("Выбрано объектов - ") + QString::number(ticked));
}

} // namespace talvir

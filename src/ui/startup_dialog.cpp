#include "startup_dialog.h"

#include "core/variant.h"
#include "ui/radio_group.h"

#include <QVBoxLayout>

namespace talvir {

StartupDialog::StartupDialog(const Variant &variant, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), variant_(variant)
{
    setObjectName(QStringLiteral("StartupDialog"));
    setWindowTitle(variant_.startupCaption);
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    choiceGroup = new RadioGroup(QString(), variant_.startupItems, 1, this);
    choiceGroup->setObjectName(QStringLiteral("choiceGroup"));
    layout->addWidget(choiceGroup);
    setMinimumWidth(420);
    // A click, or an arrow key moving the choice, picks the mode at once.
    connect(choiceGroup, &RadioGroup::clicked, this, &StartupDialog::choose);
}

void StartupDialog::showEvent(QShowEvent *event)
{
    setWindowTitle(variant_.startupCaption);
    QDialog::showEvent(event);
}

void StartupDialog::choose(int index)
{
    done(index + 1);
}

} // namespace talvir

#include "tb_form.h"

#include "app/variant.h"
#include "edit/ui/radio_group.h"

#include <QVBoxLayout>

namespace talvir {

TB_Form::TB_Form(const Variant &variant, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), variant_(variant)
{
    setObjectName(QStringLiteral("TB_Form"));
    setWindowTitle(variant_.startupCaption);
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    RadioGroup1 = new RadioGroup(QString(), variant_.startupItems, 1, this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    layout->addWidget(RadioGroup1);
    setMinimumWidth(420);
    // A click, or an arrow key moving the choice, picks the mode at once.
    connect(RadioGroup1, &RadioGroup::clicked, this, &TB_Form::RadioGroup1Click);
}

void TB_Form::showEvent(QShowEvent *event)
{
    setWindowTitle(variant_.startupCaption);
    QDialog::showEvent(event);
}

void TB_Form::RadioGroup1Click(int index)
{
    done(index + 1);
}

} // namespace talvir

#include "radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace talvir {

RadioGroup::RadioGroup(const QString &caption, const QStringList &items, int columns, QWidget *parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this))
{
    setAccessibleName(caption.simplified());
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setVerticalSpacing(2);
    columns = qMax(1, columns);
    // Items fill the first column top to bottom, then the next, as a framed radio group does.
    const int rows = (int(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items.at(i), this);
        group_->addButton(b, i);
        buttons_.append(b);
        layout->addWidget(b, rows ? i % rows : 0, rows ? i / rows : 0);
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit clicked(id);
    });
}

int RadioGroup::itemIndex() const
{
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index == itemIndex())
        return;
    if (index < 0 || index >= buttons_.size()) {
        // No choice: an exclusive group cannot uncheck its last button, so lift the exclusivity
        // for the moment.
        QAbstractButton *checked = group_->checkedButton();
        if (!checked)
            return;
        const QSignalBlocker block(group_);
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
        return;
    }
    buttons_.at(index)->setChecked(true);
}

QStringList RadioGroup::items() const
{
    QStringList out;
    for (const QRadioButton *b : buttons_)
        out << b->text();
    return out;
}

} // namespace talvir

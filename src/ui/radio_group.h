// A framed group of mutually exclusive choices with an item index (-1 = no choice), laid out in
// columns. `clicked` fires whenever the choice changes to an item, whether the technician picked it
// or code set it; setting "no choice" fires nothing. Code that must not trigger the handler blocks
// the group's signals (QSignalBlocker) while it sets the index.
#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

namespace talvir {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(const QString &caption, const QStringList &items, int columns = 1,
                        QWidget *parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index);
    int count() const { return int(buttons_.size()); }
    QStringList items() const;
    QRadioButton *button(int index) const { return buttons_.value(index); }

signals:
    void clicked(int index);

private:
    QButtonGroup *group_;
    QList<QRadioButton *> buttons_;
};

} // namespace talvir

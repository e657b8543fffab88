// The navigator of an in-memory table: a row of buttons First, Prior, Next, Last, Insert, Delete,
// Edit, Post, Cancel (any subset), each with its hint. It only announces which button was pressed;
// the window that owns the table carries out the button's action and its follow-up.
#pragma once

#include <QList>
#include <QWidget>

class QToolButton;

namespace talvir {

class DatasetNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel };
    Q_ENUM(Button)

    static QList<Button> allButtons();

    explicit DatasetNavigator(const QList<Button> &buttons = allButtons(), QWidget *parent = nullptr);

    QToolButton *button(Button b) const;
    static QString hint(Button b);

signals:
    void clicked(talvir::DatasetNavigator::Button button);

private:
    QList<QToolButton *> buttons_; // indexed by Button; nullptr where not shown
};

} // namespace talvir

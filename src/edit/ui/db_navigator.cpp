#include "db_navigator.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace talvir {

namespace {

QString glyph(DbNavigator::Button b)
{
    switch (b) {
    case DbNavigator::First: return QStringLiteral("|\u25C0");
    case DbNavigator::Prior: return QStringLiteral("\u25C0");
    case DbNavigator::Next: return QStringLiteral("\u25B6");
    case DbNavigator::Last: return QStringLiteral("\u25B6|");
    case DbNavigator::Insert: return QStringLiteral("+");
    case DbNavigator::Delete: return QStringLiteral("\u2212");
    case DbNavigator::Edit: return QStringLiteral("\u25B2");
    case DbNavigator::Post: return QStringLiteral("\u2714");
    case DbNavigator::Cancel: return QStringLiteral("\u2716");
    }
    return QString();
}

const char *buttonName(DbNavigator::Button b)
{
    switch (b) {
    case DbNavigator::First: return "nbFirst";
    case DbNavigator::Prior: return "nbPrior";
    case DbNavigator::Next: return "nbNext";
    case DbNavigator::Last: return "nbLast";
    case DbNavigator::Insert: return "nbInsert";
    case DbNavigator::Delete: return "nbDelete";
    case DbNavigator::Edit: return "nbEdit";
    case DbNavigator::Post: return "nbPost";
    case DbNavigator::Cancel: return "nbCancel";
    }
    return "";
}

} // namespace

QList<DbNavigator::Button> DbNavigator::allButtons()
{
    return {First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel};
}

QString DbNavigator::hint(Button b)
{
    switch (b) {
    case First: return QStringLiteral("Первая запись");
    case Prior: return QStringLiteral("Предыдущая запись");
    case Next: return QStringLiteral("Следующая запись");
    case Last: return QStringLiteral("Последняя запись");
    case Insert: return QStringLiteral("Добавить запись");
    case Delete: return QStringLiteral("Удалить запись");
    case Edit: return QStringLiteral("Изменить запись");
    case Post: return QStringLiteral("Сохранить запись");
    case Cancel: return QStringLiteral("Отказ от изменений");
    }
    return QString();
}

DbNavigator::DbNavigator(const QList<Button> &buttons, QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i <= Cancel; ++i)
        buttons_.append(nullptr);
    for (Button b : buttons) {
        auto *tb = new QToolButton(this);
        tb->setObjectName(QLatin1String(buttonName(b)));
        tb->setText(glyph(b));
        tb->setToolTip(hint(b));
        tb->setAutoRaise(false);
        tb->setMinimumSize(30, 26);
        tb->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(tb, &QToolButton::clicked, this, [this, b] { emit clicked(b); });
        layout->addWidget(tb);
        buttons_[b] = tb;
    }
}

QToolButton *DbNavigator::button(Button b) const
{
    return buttons_.value(b);
}

} // namespace talvir

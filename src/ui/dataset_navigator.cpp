#include "dataset_navigator.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace talvir {

namespace {

QString glyph(DatasetNavigator::Button b)
{
    switch (b) {
    case DatasetNavigator::First: return QStringLiteral("|\u25C0");
    case DatasetNavigator::Prior: return QStringLiteral("\u25C0");
    case DatasetNavigator::Next: return QStringLiteral("\u25B6");
    case DatasetNavigator::Last: return QStringLiteral("\u25B6|");
    case DatasetNavigator::Insert: return QStringLiteral("+");
    case DatasetNavigator::Delete: return QStringLiteral("\u2212");
    case DatasetNavigator::Edit: return QStringLiteral("\u25B2");
    case DatasetNavigator::Post: return QStringLiteral("\u2714");
    case DatasetNavigator::Cancel: return QStringLiteral("\u2716");
    }
    return QString();
}

const char *buttonName(DatasetNavigator::Button b)
{
    switch (b) {
    case DatasetNavigator::First: return "nbFirst";
    case DatasetNavigator::Prior: return "nbPrior";
    case DatasetNavigator::Next: return "nbNext";
    case DatasetNavigator::Last: return "nbLast";
    case DatasetNavigator::Insert: return "nbInsert";
    case DatasetNavigator::Delete: return "nbDelete";
    case DatasetNavigator::Edit: return "nbEdit";
    case DatasetNavigator::Post: return "nbPost";
    case DatasetNavigator::Cancel: return "nbCancel";
    }
    return "";
}

} // namespace

QList<DatasetNavigator::Button> DatasetNavigator::allButtons()
{
    return {First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel};
}

QString DatasetNavigator::hint(Button b)
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

DatasetNavigator::DatasetNavigator(const QList<Button> &buttons, QWidget *parent) : QWidget(parent)
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
        tb->setAccessibleName(hint(b)); // not the glyph: "+" or "|◀" says nothing when read aloud
        tb->setAutoRaise(false);
        tb->setMinimumSize(qMax(30, tb->sizeHint().width()), 26); // the glyph is never cut
        tb->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(tb, &QToolButton::clicked, this, [this, b] { emit clicked(b); });
        layout->addWidget(tb);
        buttons_[b] = tb;
    }
}

QToolButton *DatasetNavigator::button(Button b) const
{
    return buttons_.value(b);
}

} // namespace talvir

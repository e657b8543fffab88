#include "status_light.h"

#include <QPainter>

namespace talvir {

StatusLight::StatusLight(QWidget *parent) : QWidget(parent)
{
    setFixedSize(sizeHint());
    setAccessibleName(QStringLiteral("Состояние трансивера"));
    setMeaning(noDataMeaning());
}

QString StatusLight::noDataMeaning() { return QStringLiteral("Нет данных"); }

void StatusLight::setMeaning(const QString &meaning)
{
    setAccessibleDescription(meaning);
}

void StatusLight::setColor(const QColor &color)
{
    if (color_ == color)
        return;
    color_ = color;
    update();
}

void StatusLight::setLit(bool lit)
{
    if (lit_ == lit)
        return;
    lit_ = lit;
    update();
}

void StatusLight::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(lit_ ? color_ : color_.darker(250));
    p.drawEllipse(r);
}

} // namespace talvir

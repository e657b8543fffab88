#include "text_fit.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace talvir {

QStringList addressSamples() { return {QStringLiteral("255.255.255.255"), QStringLiteral("888.888.888.888")}; }
// The 4-character boxes take hex digits: the widest digit or letter decides.
QStringList fourCharSamples() { return {QStringLiteral("0000"), QStringLiteral("FFFF"), QStringLiteral("DDDD")}; }
QStringList portSamples() { return {QStringLiteral("65535"), QStringLiteral("00000")}; }
QStringList phoneSamples() { return {QStringLiteral("+000000000000"), QStringLiteral("0000000000000")}; }

int widthForTexts(const QLineEdit *edit, const QStringList &samples)
{
    const QFontMetrics fm = edit->fontMetrics();
    int text = 0;
    for (const QString &s : samples)
        text = qMax(text, fm.horizontalAdvance(s));
    // QLineEdit keeps 2 pixels on each side of its text inside the style's contents rectangle, and
    // one more for the cursor after the last character.
    const QMargins tm = edit->textMargins();
    const QMargins cm = edit->contentsMargins();
    const int inner = text + 2 * 2 + 1 + tm.left() + tm.right() + cm.left() + cm.right();
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    return edit->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(inner, fm.height()), edit).width();
}

void keepTextsWhole(QLineEdit *edit, const QStringList &samples)
{
    edit->setMinimumWidth(widthForTexts(edit, samples));
}

} // namespace talvir

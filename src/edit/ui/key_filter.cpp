#include "key_filter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace talvir {

bool keyFilterAccepts(KeyFilterKind kind, QChar c)
{
    if (c == QLatin1Char('\b'))
        return true;
    const ushort u = c.unicode();
    const bool digit = u >= '0' && u <= '9';
    switch (kind) {
    case KeyFilterKind::Digits: return digit;
    case KeyFilterKind::DigitsDot: return digit || u == '.';
    case KeyFilterKind::Hex: return digit || (u >= 'A' && u <= 'F');
    case KeyFilterKind::Phone: return digit || u == '+';
    }
    return false;
}

namespace {

class KeyFilter : public QObject {
public:
    KeyFilter(KeyFilterKind kind, QObject *parent) : QObject(parent), kind_(kind) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        auto *key = static_cast<QKeyEvent *>(event);
        // Copying and selecting change nothing; let the box have them.
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll))
            return false;
        // Keys that insert nothing: focus moves, dialog keys, editing keys.
        switch (key->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Delete:
            return false;
        default:
            break;
        }
        const QString text = key->text();
        if (text.isEmpty())
            return false;
        for (QChar c : text) {
            if (!keyFilterAccepts(kind_, c))
                return true;
        }
        return false;
    }

private:
    KeyFilterKind kind_;
};

} // namespace

void installKeyFilter(QLineEdit *edit, KeyFilterKind kind)
{
    edit->installEventFilter(new KeyFilter(kind, edit));
}

} // namespace talvir

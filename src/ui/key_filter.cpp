#include "key_filter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace talvir {

bool keyFilterAccepts(KeyFilter kind, QChar c)
{
    if (c == QLatin1Char('\b'))
        return true;
    const ushort u = c.unicode();
    const bool digit = u >= '0' && u <= '9';
    switch (kind) {
    case KeyFilter::digits: return digit;
    case KeyFilter::ipv4Chars: return digit || u == '.';
    case KeyFilter::hexDigits: return digit || (u >= 'A' && u <= 'F');
    case KeyFilter::phoneDigits: return digit || u == '+';
    }
    return false;
}

namespace {

class KeyFilterObject : public QObject {
public:
    KeyFilterObject(KeyFilter kind, QObject *parent) : QObject(parent), kind_(kind) {}

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
    KeyFilter kind_;
};

} // namespace

void installKeyFilter(QLineEdit *edit, KeyFilter kind)
{
    edit->installEventFilter(new KeyFilterObject(kind, edit));
}

} // namespace talvir

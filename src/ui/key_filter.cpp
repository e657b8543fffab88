#include "key_filter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace talvir {

namespace {

class KeyFilterObject : public QObject {
public:
    KeyFilterObject(KeyFilter kind, int maxTyped, QLineEdit *edit) : QObject(edit), kind_(kind), maxTyped_(maxTyped) {}

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
        if (maxTyped_ > 0 && text != QLatin1String("\b")) {
            const auto *edit = static_cast<QLineEdit *>(parent());
            if (edit->text().size() - edit->selectedText().size() + text.size() > maxTyped_)
                return true;
        }
        return false;
    }

private:
    KeyFilter kind_;
    int maxTyped_;
};

} // namespace

void installKeyFilter(QLineEdit *edit, KeyFilter kind, int maxTyped)
{
    edit->installEventFilter(new KeyFilterObject(kind, maxTyped, edit));
}

} // namespace talvir

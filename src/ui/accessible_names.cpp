#include "accessible_names.h"

#include <QLabel>

namespace talvir {

void nameBoxesByTheirLabels(QWidget *root)
{
    for (QLabel *label : root->findChildren<QLabel *>()) {
        QWidget *box = label->buddy();
        if (box && box->accessibleName().isEmpty())
            box->setAccessibleName(label->text().remove(QLatin1Char('&')).simplified());
    }
}

} // namespace talvir

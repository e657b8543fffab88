#include "russian_texts.h"

#include "core/data_folder.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace talvir {

bool installRussianQtTexts(QCoreApplication &app)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString &data : dataFolders())
        folders.append(data + QStringLiteral("/translations"));
    // windeployqt merges the module catalogues of a language into one "qt_ru.qm".
    const QString names[] = {QStringLiteral("qtbase"), QStringLiteral("qt")};
    for (const QString &folder : folders) {
        for (const QString &name : names) {
            auto *texts = new QTranslator(&app);
            if (texts->load(russian, name, QStringLiteral("_"), folder))
                return QCoreApplication::installTranslator(texts);
            delete texts;
        }
    }
    return false;
}

} // namespace talvir

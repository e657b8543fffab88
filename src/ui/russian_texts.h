// Qt's own texts (standard buttons, file dialogs, "... already exists") in Russian, whatever the
// system locale: every text of the configurator itself is Russian, so Qt's must be too.
#pragma once

class QCoreApplication;

namespace talvir {

// Installs Qt's Russian base translation into app (the translator is a child of app). Looks in Qt's
// translations folder (Debian: qt6-translations-l10n), then in "translations" in each data folder:
// beside the executable (where windeployqt puts "qt_ru.qm"), then ../share/talvir. False when no translation was found: Qt's English texts stay.
bool installRussianQtTexts(QCoreApplication &app);

} // namespace talvir

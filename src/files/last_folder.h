// The folder the technician last opened or saved a configuration file in, kept in the user's
// settings (organisation "Talvir", one entry per program), so the next file dialog starts there.
#pragma once

#include "core/prompts.h"

#include <QString>

namespace talvir {

struct Variant;

// Empty until a file was chosen once.
QString lastFileFolder(const Variant &variant);
// Keeps the folder of path.
void rememberFileFolder(const Variant &variant, const QString &path);

// The dialogs of configuration files, in the folder used last: to open one (the load, the append)
// and to save one, its name proposed from the factory number.
FileRequest configFileToOpen(const Variant &variant);
FileRequest configFileToSave(const Variant &variant, const QString &factoryNumber);

} // namespace talvir

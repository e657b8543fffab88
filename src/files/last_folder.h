// The folder the technician last opened or saved a configuration file in, kept in the user's
// settings (organisation "Talvir", one entry per program), so the next file dialog starts there.
#pragma once

#include <QString>

namespace talvir {

struct Variant;

// Empty until a file was chosen once.
QString lastFileFolder(const Variant &variant);
// Keeps the folder of path.
void rememberFileFolder(const Variant &variant, const QString &path);

} // namespace talvir

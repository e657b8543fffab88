// Equal keys in one JSON object: Qt's reader keeps the last of them without a word, so a configuration
// that names a field twice is caught here before its values are taken.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kcftool {

// The field path of the first key met a second time in the same object ("apn", "panels[2].obj"), or
// nothing. json must already have been accepted by QJsonDocument.
std::optional<QString> firstRepeatedKey(const QByteArray &json);

} // namespace kcftool

// The JSON form of a configuration used by kcftool: texts as the controls hold them, the reserve
// servers as dotted texts, the panel rows as objects.
#pragma once

#include "core/config_model.h"
#include "core/variant.h"
#include "files/config_file.h"

#include <QByteArray>
#include <QJsonObject>
#include <optional>

namespace kcftool {

// The configuration a JSON text describes. Keys that are absent keep the program's start values
// (standalone mode); a panel without "prot" gets the protocol code of its "typeId"; "recNmb", "aF"
// and "frmt" of a panel are read back values and ignored. Nothing, with *error naming the field, for
// malformed JSON, an unknown or repeated key, a wrong type, a text with characters outside
// Windows-1251 or a value the controls could not hold.
std::optional<talvir::TransceiverConfig> configFromJson(const QByteArray &json, const talvir::Variant &variant,
                                                        QString *error = nullptr);

// What a load of the file shows, starting from the start values: only the settings the file holds
// (in the keys of configFromJson), "reserveIps" when the file's reserve field was read, "panels" in
// the table's order when the load succeeded.
QJsonObject contentsToJson(const talvir::ConfigFileContents &contents, const talvir::Variant &variant);

QJsonObject panelToJson(const talvir::PanelRecord &row);

} // namespace kcftool

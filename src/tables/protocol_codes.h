// The protocol code (Prot) of a panel type (TypeId): how the transceiver talks to that panel.
#pragma once

#include <optional>
#include <vector>

namespace talvir {

struct Variant;

// The code a posted row gets: every type the table does not list is 10.
int protocolCode(int typeId);

// The code the console-database import uses: only listed types are imported (std::nullopt for the
// others); MXR_duziv's import table lacks 560, 561 and 562.
std::optional<int> importProtocolCode(int typeId, const Variant &variant);

// Every TypeId the table lists, ascending.
std::vector<int> listedTypeIds();

} // namespace talvir

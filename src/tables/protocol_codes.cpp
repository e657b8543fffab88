#include "protocol_codes.h"
#include "core/variant.h"

#include <map>
#include <vector>

namespace talvir {
namespace {

const std::map<int, int> &table()
{
    static const std::map<int, int> t = [] {
        std::map<int, int> m;
        auto add = [&m](int prot, std::initializer_list<int> ids) {
            for (int id : ids)
                m[id] = prot;
        };
        auto addRange = [&m](int prot, int from, int to) {
            for (int id = from; id <= to; ++id)
                m[id] = prot;
        };
        add(0, {101, 103, 201, 250, 561});
        addRange(0, 500, 509);
        addRange(1, 70, 79);
        add(2, {80, 523, 524});
        add(3, {26, 35, 36});
        add(4, {24, 27, 31, 40, 50, 100, 102, 200, 520, 522, 540, 550, 560, 562});
        add(5, {530});
        add(10, {29, 30, 33, 45, 46, 53});
        add(13, {41, 42, 48});
        addRange(128, 251, 255);
        add(128, {400});
        return m;
    }();
    return t;
}

} // namespace

int protocolCode(int typeId)
{
    const auto it = table().find(typeId);
    return it == table().end() ? 10 : it->second;
}

std::optional<int> importProtocolCode(int typeId, const Variant &variant)
{
    if (variant.importTableLacks56x && (typeId == 560 || typeId == 561 || typeId == 562))
        return std::nullopt;
    const auto it = table().find(typeId);
    if (it == table().end())
        return std::nullopt;
    return it->second;
}

std::vector<int> listedTypeIds()
{
    std::vector<int> ids;
    for (const auto &entry : table())
        ids.push_back(entry.first);
    return ids;
}

} // namespace talvir

// The entry point the fuzzer and the corpus replay share: the console import over a console database
// one of whose four tables is replaced by arbitrary bytes. The object query of a factory number runs,
// then the panel query of every listed object, and every panel becomes a row as the import makes it;
// it aborts when a result breaks what the object list and the panel table rely on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace talvir {

// Byte 0 picks the table the rest replaces: 0 ObjList.db, 1 TrnObj.db, 2 CentralList.db,
// 3 CentralType.db, anything else none (the rest is then ignored).
int fuzzConsoleImport(const std::uint8_t *data, std::size_t size);

} // namespace talvir

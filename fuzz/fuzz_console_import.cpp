// libFuzzer target: any bytes as a damaged table of the console database, through the object and panel queries.
#include "console_import_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return talvir::fuzzConsoleImport(data, size);
}

// libFuzzer target: any bytes as a Paradox table file, through the console table reader.
#include "paradox_table_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return talvir::fuzzParadoxTable(data, size);
}

#include "paradox_table_harness.h"

#include "console/paradox_table.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace talvir {

int fuzzParadoxTable(const std::uint8_t *data, std::size_t size)
{
    // fmemopen refuses an empty buffer; an empty file is one more input.
    const QByteArray bytes = size ? QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)) : QByteArray(1, '\0');
    FILE *fp = fmemopen(const_cast<char *>(bytes.constData()), size ? size : 1, "rb");
    if (!fp)
        return 0;
    ParadoxTable table;
    QString error;
    const bool ok = readParadoxStream(fp, QStringLiteral("fuzz.db"), table, error);
    std::fclose(fp);
    if (ok == !error.isEmpty())
        std::abort(); // a failure always says why, a success never does
    if (!ok && (!table.rows.isEmpty() || !table.fields.isEmpty()))
        std::abort();
    for (const QVariantList &row : std::as_const(table.rows)) {
        if (row.size() != table.fields.size())
            std::abort();
    }
    return 0;
}

} // namespace talvir

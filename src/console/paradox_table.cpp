#include "paradox_table.h"

#include "core/cp1251.h"
#include "paradox_values.h"
#include "pxlib_doc.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <vector>

namespace talvir {
namespace {

quint32 le(const unsigned char *p, int size)
{
    quint32 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

// The fixed part of a table's header, as far as the checks below need it.
struct FixedHeader {
    long fileSize = 0;
    quint32 recordSize = 0;
    quint32 headerSize = 0;
    int fileType = 0;
    int maxTableSize = 0;
    quint32 numRecords = 0;
    quint32 fileBlocks = 0;
    quint32 firstBlock = 0;
    quint32 numFields = 0;
    quint32 blockSize = 0;
    quint32 encryption1 = 0;
    quint32 encryption2 = 0;
    int fieldInfo = 0; // where the field descriptors start: from version 4.0 on the header is longer
};

QString readFixedHeader(FILE *fp, FixedHeader &f)
{
    if (std::fseek(fp, 0, SEEK_END) != 0)
        return QStringLiteral("файл не читается");
    f.fileSize = std::ftell(fp);
    std::rewind(fp);
    unsigned char h[0x78] = {};
    const size_t want = f.fileSize < long(sizeof h) ? size_t(f.fileSize) : sizeof h;
    if (want < 0x58 || std::fread(h, 1, want, fp) != want || (h[0x39] >= 5 && want < 0x78))
        return QStringLiteral("файл слишком короткий");
    std::rewind(fp);

    const bool version4 = h[0x39] >= 5;
    f.recordSize = le(h + 0x00, 2);
    f.headerSize = le(h + 0x02, 2);
    f.fileType = h[0x04];
    f.maxTableSize = h[0x05];
    f.numRecords = le(h + 0x06, 4);
    f.fileBlocks = le(h + 0x0C, 2);
    f.firstBlock = le(h + 0x0E, 2);
    f.numFields = le(h + 0x21, 2);
    f.blockSize = quint32(f.maxTableSize) * 0x400;
    f.encryption1 = le(h + 0x25, 4);
    f.encryption2 = version4 ? le(h + 0x5C, 4) : 0;
    f.fieldInfo = version4 ? 0x78 : 0x58;
    return {};
}

QString checkSizes(const FixedHeader &f)
{
    if (f.fileType != 0 && f.fileType != 2)
        return QStringLiteral("это не таблица Paradox");
    if (f.maxTableSize < 1 || f.maxTableSize > 32 || f.recordSize == 0 || f.recordSize + 6 > f.blockSize)
        return QStringLiteral("заголовок таблицы повреждён");
    if (f.headerSize < 0x58 + 2 * f.numFields || f.numFields == 0 || f.numFields > 255)
        return QStringLiteral("заголовок таблицы повреждён");
    if (quint64(f.headerSize) + quint64(f.fileBlocks) * f.blockSize > quint64(f.fileSize))
        return QStringLiteral("таблица обрезана");
    if (quint64(f.numRecords) > quint64(f.fileBlocks) * ((f.blockSize - 6) / f.recordSize))
        return QStringLiteral("заголовок таблицы повреждён");

    // A table with a password has its blocks scrambled; pxlib would follow garbage block numbers.
    // The console's tables have none. 0xFF00FF00 is what version 4+ keeps here when there is none.
    if ((f.encryption1 != 0 && f.encryption1 != 0xFF00FF00u) || f.encryption2 != 0)
        return QStringLiteral("таблица защищена паролем или повреждена");
    if (f.headerSize < quint32(f.fieldInfo) + 2 * f.numFields)
        return QStringLiteral("заголовок таблицы повреждён");
    return {};
}

// Field descriptors (type, size) follow the fixed header; their sizes must add up to a record.
QString checkFieldDescriptors(FILE *fp, const FixedHeader &f)
{
    std::vector<unsigned char> descriptors(2 * f.numFields);
    if (std::fseek(fp, f.fieldInfo, SEEK_SET) != 0
        || std::fread(descriptors.data(), 1, descriptors.size(), fp) != descriptors.size())
        return QStringLiteral("файл слишком короткий");
    quint32 sum = 0;
    for (quint32 i = 0; i < f.numFields; ++i) {
        const int type = descriptors[2 * i];
        const int size = descriptors[2 * i + 1];
        const int expected = px::isKnownType(type) ? px::fixedSize(ParadoxType(type)) : 0;
        if (size == 0 || (expected != 0 && size != expected))
            return QStringLiteral("описание полей повреждено");
        sum += quint32(size);
    }
    if (sum != f.recordSize)
        return QStringLiteral("описание полей повреждено");
    return {};
}

// The data blocks form a chain from the first block on. pxlib follows it without a bound (a loop in
// it hangs pxlib) and prints a count mismatch to the console: walk it here first.
QString checkBlockChain(FILE *fp, const FixedHeader &f)
{
    quint32 block = f.firstBlock;
    quint64 counted = 0;
    std::vector<bool> seen(f.fileBlocks + 1, false);
    while (block != 0) {
        if (block > f.fileBlocks || seen[block])
            return QStringLiteral("цепочка блоков таблицы повреждена");
        seen[block] = true;
        unsigned char b[6];
        if (std::fseek(fp, long(f.headerSize + quint64(block - 1) * f.blockSize), SEEK_SET) != 0
            || std::fread(b, 1, sizeof b, fp) != sizeof b)
            return QStringLiteral("таблица обрезана");
        const qint16 lastOffset = qint16(le(b + 4, 2));
        if (lastOffset >= 0) {
            if (quint32(lastOffset) % f.recordSize != 0 || quint32(lastOffset) + f.recordSize + 6 > f.blockSize)
                return QStringLiteral("блок данных таблицы повреждён");
            counted += quint32(lastOffset) / f.recordSize + 1;
        }
        block = le(b, 2);
    }
    if (counted != f.numRecords)
        return QStringLiteral("число записей не совпадает с заголовком");
    return {};
}

// pxlib trusts the header it reads; a damaged or foreign file could send it far beyond the file.
// These checks keep such a file away from it. Returns an empty string when the header is sane.
QString checkHeader(FILE *fp)
{
    FixedHeader f;
    QString fault = readFixedHeader(fp, f);
    if (fault.isEmpty())
        fault = checkSizes(f);
    if (fault.isEmpty())
        fault = checkFieldDescriptors(fp, f);
    if (fault.isEmpty())
        fault = checkBlockChain(fp, f);
    std::rewind(fp);
    return fault;
}

QString failure(const QString &path, const QString &why, const QString &detail = {})
{
    QString text = QStringLiteral("Таблица %1 не читается: %2").arg(QDir::toNativeSeparators(path), why);
    if (!detail.isEmpty())
        text += QStringLiteral(" (%1)").arg(detail);
    return text;
}

} // namespace

int ParadoxTable::fieldIndex(const QString &name) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool readParadoxTable(const QString &path, ParadoxTable &table, QString &error)
{
    table = {};
    error.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return error = failure(path, QStringLiteral("файл не найден")), false;
    if (!info.isFile())
        return error = failure(path, QStringLiteral("это не файл")), false;

    // pxlib's own PX_open_file opens read-write: it fails on a read-only share and could write.
    FILE *fp = px::openFile(path, "rb");
    if (!fp)
        return error = failure(path, QString::fromLocal8Bit(std::strerror(errno))), false;

    ParadoxTable result;
    bool ok = false;
    {
        px::Doc doc;
        const QString headerFault = checkHeader(fp);
        if (!doc) {
            error = failure(path, QStringLiteral("нет памяти"));
        } else if (!headerFault.isEmpty()) {
            error = failure(path, headerFault);
        } else if (PX_open_fp(doc.get(), fp) < 0) {
            error = failure(path, QStringLiteral("это не таблица Paradox"), doc.messages());
        } else {
            doc.setOpened();
            ok = true;
            const int numFields = PX_get_num_fields(doc.get());
            const int recordSize = PX_get_recordsize(doc.get());
            pxfield_t *pxf = PX_get_fields(doc.get());
            int total = 0;
            for (int i = 0; ok && i < numFields; ++i) {
                ParadoxField f;
                f.name = pxf[i].px_fname ? fromCp1251(pxf[i].px_fname, int(std::strlen(pxf[i].px_fname)))
                                         : QString();
                f.type = static_cast<ParadoxType>(static_cast<unsigned char>(pxf[i].px_ftype));
                f.size = pxf[i].px_flen;
                const int expected = px::fixedSize(f.type);
                if (f.size <= 0 || (expected != 0 && f.size != expected)) {
                    error = failure(path, QStringLiteral("неверная ширина поля %1").arg(f.name));
                    ok = false;
                }
                total += f.size;
                result.fields.append(f);
            }
            if (ok && total != recordSize) {
                error = failure(path, QStringLiteral("заголовок таблицы повреждён"));
                ok = false;
            }
            const int numRecords = PX_get_num_records(doc.get());
            std::vector<char> record(size_t(recordSize > 0 ? recordSize : 1));
            for (int r = 0; ok && r < numRecords; ++r) {
                if (!PX_get_record(doc.get(), r, record.data())) {
                    error = failure(path, QStringLiteral("запись %1 не читается").arg(r + 1), doc.messages());
                    ok = false;
                    break;
                }
                QVariantList row;
                row.reserve(numFields);
                int offset = 0;
                for (const ParadoxField &f : std::as_const(result.fields)) {
                    const bool decoded = px::isKnownType(int(f.type));
                    row.append(decoded ? px::decodeField(f.type, record.data() + offset, f.size) : QVariant());
                    offset += f.size;
                }
                result.rows.append(row);
            }
        }
        doc.finish();
    }
    std::fclose(fp);
    if (ok)
        table = std::move(result);
    return ok;
}

} // namespace talvir

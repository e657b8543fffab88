#include "paradox_header.h"

#include "paradox_table.h"
#include "paradox_values.h"

#include <limits>
#include <vector>

#include <QByteArray>

namespace talvir {
namespace {

quint32 le(const unsigned char *p, int size)
{
    quint32 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

bool knownVersion(int version)
{
    return version >= 3 && version <= 12;
}

bool knownBlockSize(int kilobytes)
{
    return kilobytes == 1 || kilobytes == 2 || kilobytes == 3 || kilobytes == 4 || kilobytes == 8
        || kilobytes == 16 || kilobytes == 32;
}

// Widths the engine gives the field types the import never reads; 0 where any width from 1 on is
// possible. Memo and BLOB fields keep 10 bytes of reference after their inline part.
bool plausibleSize(int type, int size)
{
    if (type == int(ParadoxType::Bcd))
        return size >= 0 && size <= px::kBcdMaxDecimals;
    if (px::isKnownType(type)) {
        const int expected = px::fixedSize(ParadoxType(type));
        return expected == 0 || size == expected;
    }
    switch (type) {
    case 0x14: // time
        return size == 4;
    case 0x15: // timestamp
        return size == 8;
    case 0x0C: case 0x0D: case 0x0E: case 0x0F: case 0x10: // memo, BLOB, formatted memo, OLE, graphic
        return size >= 10 && size <= 250;
    case 0x18: // bytes
        return size >= 1 && size <= 255;
    default:
        return false;
    }
}

} // namespace

int ParadoxHeader::pxlibVersion() const
{
    return version == 3 ? 30 : version == 4 ? 35 : version <= 9 ? 40 : version <= 11 ? 50 : 70;
}

QString checkParadoxHeader(FILE *fp, ParadoxHeader &header)
{
    header = {};
    if (std::fseek(fp, 0, SEEK_END) != 0)
        return QStringLiteral("файл не читается");
    const long fileSize = std::ftell(fp);
    std::rewind(fp);
    if (fileSize < 0)
        return QStringLiteral("файл не читается");
    unsigned char h[0x78] = {};
    const size_t want = fileSize < long(sizeof h) ? size_t(fileSize) : sizeof h;
    if (want < 0x58 || std::fread(h, 1, want, fp) != want)
        return QStringLiteral("файл слишком короткий");
    std::rewind(fp);

    header.fileSize = quint64(fileSize);
    header.recordSize = le(h + 0x00, 2);
    header.headerSize = le(h + 0x02, 2);
    const int fileType = h[0x04];
    const int maxTableSize = h[0x05];
    header.numRecords = le(h + 0x06, 4);
    header.fileBlocks = le(h + 0x0C, 2);
    header.firstBlock = le(h + 0x0E, 2);
    const quint32 numFields = le(h + 0x21, 2);
    header.version = h[0x39];
    header.blockSize = quint32(maxTableSize) * 0x400;
    header.maxTableSize = maxTableSize;

    if (fileType != 0 && fileType != 2)
        return QStringLiteral("это не таблица Paradox");
    // Checked first and alone: everything else in the header depends on the version.
    if (!knownVersion(header.version))
        return QStringLiteral("неизвестная версия формата таблицы (0x%1)").arg(header.version, 2, 16, QLatin1Char('0'));
    const bool extended = header.version >= 5; // 4.0 and later: the header goes on to 0x78
    if (extended && want < 0x78)
        return QStringLiteral("файл слишком короткий");
    if (!knownBlockSize(maxTableSize) || header.recordSize == 0 || header.recordSize + 6 > header.blockSize)
        return QStringLiteral("заголовок таблицы повреждён");
    const quint32 fieldInfo = extended ? 0x78 : 0x58;
    if (numFields == 0 || numFields > 255 || header.headerSize < fieldInfo + 2 * numFields)
        return QStringLiteral("заголовок таблицы повреждён");
    if (header.headerSize > header.fileSize)
        return QStringLiteral("таблица обрезана");
    // The last block may end early, but it must begin inside the file.
    if (header.fileBlocks > 0 && quint64(header.headerSize) + quint64(header.fileBlocks - 1) * header.blockSize + 6 > header.fileSize)
        return QStringLiteral("таблица обрезана");
    if (quint64(header.numRecords) > quint64(header.fileBlocks) * ((header.blockSize - 6) / header.recordSize))
        return QStringLiteral("заголовок таблицы повреждён");

    // Before 4.0 the key of the engine's encryption is at 0x25 (0: none). From 4.0 on 0x25 holds
    // 0xFF00FF00 and the key is at 0x5C (0: none); pxlib decrypts the blocks with it. Any other
    // combination would have pxlib decrypt with another key than the chain was checked with.
    const quint32 encryption1 = le(h + 0x25, 4);
    const quint32 encryption2 = extended ? le(h + 0x5C, 4) : 0;
    if (extended && encryption1 != 0xFF00FF00u && !(encryption1 == 0 && encryption2 == 0))
        return QStringLiteral("заголовок таблицы повреждён");
    header.encryption = extended ? encryption2 : encryption1 == 0xFF00FF00u ? 0 : encryption1;
    header.encrypted = header.encryption != 0;

    std::vector<unsigned char> descriptors(2 * numFields);
    if (std::fseek(fp, long(fieldInfo), SEEK_SET) != 0
        || std::fread(descriptors.data(), 1, descriptors.size(), fp) != descriptors.size())
        return QStringLiteral("файл слишком короткий");
    std::rewind(fp);
    quint32 sum = 0;
    for (quint32 i = 0; i < numFields; ++i) {
        const int type = descriptors[2 * i];
        const int size = descriptors[2 * i + 1];
        if (!plausibleSize(type, size))
            return QStringLiteral("описание полей повреждено (поле %1: тип 0x%2, ширина %3)")
                .arg(i + 1).arg(type, 2, 16, QLatin1Char('0')).arg(size);
        // A BCD field's descriptor holds its decimal places; its value always takes 17 bytes.
        sum += quint32(type == int(ParadoxType::Bcd) ? px::fixedSize(ParadoxType::Bcd) : size);
    }
    if (sum != header.recordSize)
        return QStringLiteral("описание полей повреждено");
    return {};
}

QString checkBlockChain(const ParadoxHeader &header,
                        const std::function<bool(quint64 offset, unsigned char *six)> &readBlockStart)
{
    quint32 block = header.firstBlock;
    quint64 counted = 0;
    std::vector<bool> seen(size_t(header.fileBlocks) + 1, false);
    while (block != 0) {
        if (block > header.fileBlocks || seen[block])
            return QStringLiteral("цепочка блоков таблицы повреждена");
        seen[block] = true;
        const quint64 start = header.headerSize + quint64(block - 1) * header.blockSize;
        unsigned char b[6];
        if (start + 6 > header.fileSize || !readBlockStart(start, b))
            return QStringLiteral("таблица обрезана");
        const qint16 lastOffset = qint16(le(b + 4, 2));
        if (lastOffset >= 0) {
            if (quint32(lastOffset) % header.recordSize != 0 || quint32(lastOffset) + header.recordSize + 6 > header.blockSize)
                return QStringLiteral("блок данных таблицы повреждён");
            if (start + 6 + quint32(lastOffset) + header.recordSize > header.fileSize)
                return QStringLiteral("таблица обрезана: записи блока %1 выходят за конец файла").arg(block);
            counted += quint32(lastOffset) / header.recordSize + 1;
        }
        block = le(b, 2);
    }
    if (counted != header.numRecords)
        return QStringLiteral("число записей не совпадает с заголовком");
    return {};
}

QByteArray asVersion4Table(FILE *fp, const ParadoxHeader &header)
{
    constexpr int kExtension = 0x20;
    if (header.fileSize > quint64(std::numeric_limits<int>::max()) - kExtension
        || header.headerSize + kExtension > 0xFFFF)
        return {};
    QByteArray file(qsizetype(header.fileSize), Qt::Uninitialized);
    std::rewind(fp);
    if (std::fread(file.data(), 1, size_t(file.size()), fp) != size_t(file.size()))
        return {};
    std::rewind(fp);
    QByteArray extension(kExtension, '\0');
    QByteArray out = file.left(0x58) + extension + file.mid(0x58);
    const quint32 newHeaderSize = header.headerSize + kExtension;
    out[0x02] = char(newHeaderSize & 0xFF);
    out[0x03] = char(newHeaderSize >> 8);
    out[0x39] = 0x05;
    if (header.encrypted) {
        for (int i = 0; i < 4; ++i) {
            out[0x25 + i] = char((0xFF00FF00u >> (8 * i)) & 0xFF);
            out[0x5C + i] = char((header.encryption >> (8 * i)) & 0xFF);
        }
    }
    return out;
}

} // namespace talvir

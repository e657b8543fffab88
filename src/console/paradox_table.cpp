#include "paradox_table.h"

#include "core/cp1251.h"
#include "paradox_header.h"
#include "paradox_values.h"
#include "pxlib_doc.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <vector>

namespace talvir {
namespace {

QString failure(const QString &path, const QString &why, const QString &detail = {})
{
    QString text = QStringLiteral("Таблица %1 не читается: %2").arg(QDir::toNativeSeparators(path), why);
    if (!detail.isEmpty())
        text += QStringLiteral(" (%1)").arg(detail);
    return text;
}

bool readCheckedStream(FILE *fp, const QString &name, ParadoxTable &table, QString &error);

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
    const bool ok = readParadoxStream(fp, QDir::toNativeSeparators(path), table, error);
    std::fclose(fp);
    return ok;
}

bool readParadoxStream(FILE *fp, const QString &name, ParadoxTable &table, QString &error)
{
    table = {};
    error.clear();
    ParadoxHeader header;
    if (const QString fault = checkParadoxHeader(fp, header); !fault.isEmpty())
        return error = failure(name, fault), false;

    // pxlib follows the block chain as soon as it opens the table (without a bound: a loop in the
    // chain hangs it), so the chain is walked here first; decrypted by pxlib when encrypted.
    QString chainFault;
    if (header.encrypted) {
        px::DecryptingReader reader(fp, header.encryption, int(header.headerSize), header.maxTableSize, header.pxlibVersion());
        chainFault = checkBlockChain(header, [&reader](quint64 offset, unsigned char *six) { return reader.read(offset, six, 6); });
    } else {
        chainFault = checkBlockChain(header, [fp](quint64 offset, unsigned char *six) {
            return std::fseek(fp, long(offset), SEEK_SET) == 0 && std::fread(six, 1, 6, fp) == 6;
        });
    }
    std::rewind(fp);
    if (!chainFault.isEmpty())
        return error = failure(name, chainFault), false;
    if (header.version < 5) {
        const QByteArray upgraded = asVersion4Table(fp, header);
        FILE *memory = upgraded.isEmpty() ? nullptr : px::memoryStream(upgraded);
        if (!memory)
            return error = failure(name, QStringLiteral("файл не читается")), false;
        const bool ok = readCheckedStream(memory, name, table, error);
        std::fclose(memory);
        return ok;
    }
    return readCheckedStream(fp, name, table, error);
}

namespace {

// pxlib's part, once the header and the block chain are known to be sound.
bool readCheckedStream(FILE *fp, const QString &name, ParadoxTable &table, QString &error)
{
    ParadoxTable result;
    bool ok = false;
    px::Doc doc;
    if (!doc) {
        error = failure(name, QStringLiteral("нет памяти"));
    } else if (PX_open_fp(doc.get(), fp) < 0) {
        error = failure(name, QStringLiteral("это не таблица Paradox"), doc.messages());
        doc.abandon();
    } else {
        doc.setOpened();
        {
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
                if (f.type == ParadoxType::Bcd)
                    f.decimals = pxf[i].px_fdc;
                const int expected = px::fixedSize(f.type);
                if (f.size <= 0 || (expected != 0 && f.size != expected)) {
                    error = failure(name, QStringLiteral("неверная ширина поля %1").arg(f.name));
                    ok = false;
                }
                total += f.size;
                result.fields.append(f);
            }
            if (ok && total != recordSize) {
                error = failure(name, QStringLiteral("заголовок таблицы повреждён"));
                ok = false;
            }
            const int numRecords = PX_get_num_records(doc.get());
            std::vector<char> record(size_t(recordSize > 0 ? recordSize : 1));
            for (int r = 0; ok && r < numRecords; ++r) {
                if (!PX_get_record(doc.get(), r, record.data())) {
                    error = failure(name, QStringLiteral("запись %1 не читается").arg(r + 1), doc.messages());
                    ok = false;
                    break;
                }
                QVariantList row;
                row.reserve(numFields);
                int offset = 0;
                for (const ParadoxField &f : std::as_const(result.fields)) {
                    const bool decoded = px::isKnownType(int(f.type));
                    row.append(decoded ? px::decodeField(f.type, record.data() + offset, f.size, f.decimals) : QVariant());
                    offset += f.size;
                }
                result.rows.append(row);
            }
        }
    }
    doc.finish();
    if (ok)
        table = std::move(result);
    return ok;
}

} // namespace

} // namespace talvir

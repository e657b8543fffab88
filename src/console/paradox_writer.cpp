#include "paradox_writer.h"

#include "core/cp1251.h"
#include "paradox_values.h"
#include "pxlib_doc.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace talvir {
namespace {

constexpr int kMaxFieldName = 25;

QString checkFields(const QList<ParadoxField> &fields)
{
    if (fields.isEmpty() || fields.size() > 255)
        return QStringLiteral("неверное число полей (%1)").arg(fields.size());
    for (int i = 0; i < fields.size(); ++i) {
        const ParadoxField &f = fields.at(i);
        if (f.name.isEmpty() || f.name.size() > kMaxFieldName || fromCp1251(toCp1251(f.name)) != f.name)
            return QStringLiteral("недопустимое имя поля \"%1\"").arg(f.name);
        for (int j = 0; j < i; ++j) {
            if (fields.at(j).name.compare(f.name, Qt::CaseInsensitive) == 0)
                return QStringLiteral("поле \"%1\" повторяется").arg(f.name);
        }
        if (!px::isKnownType(int(f.type)))
            return QStringLiteral("поле \"%1\": тип не поддерживается").arg(f.name);
        if (f.type == ParadoxType::Alpha && (f.size < 1 || f.size > 255))
            return QStringLiteral("поле \"%1\": ширина %2 вне 1..255").arg(f.name).arg(f.size);
        if (f.type == ParadoxType::Bcd && (f.decimals < 0 || f.decimals > px::kBcdMaxDecimals))
            return QStringLiteral("поле \"%1\": знаков после запятой %2 вне 0..%3").arg(f.name).arg(f.decimals).arg(px::kBcdMaxDecimals);
    }
    return {};
}

int fieldSize(const ParadoxField &f)
{
    return f.type == ParadoxType::Alpha ? f.size : px::fixedSize(f.type);
}

std::filesystem::path fsPath(const QString &path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

bool writeParadoxTable(const QString &path, const QList<ParadoxField> &fields,
                       const QList<QVariantList> &rows, QString &error)
{
    return writeParadoxTable(path, fields, rows, error, ParadoxWriteOptions{});
}

bool writeParadoxTable(const QString &path, const QList<ParadoxField> &fields,
                       const QList<QVariantList> &rows, QString &error, const ParadoxWriteOptions &options)
{
    error.clear();
    const auto fail = [&](const QString &why) {
        error = QStringLiteral("Таблица %1 не записана: %2").arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    if (const QString fault = checkFields(fields); !fault.isEmpty())
        return fail(fault);

    int recordSize = 0;
    for (const ParadoxField &f : fields)
        recordSize += fieldSize(f);

    // Every record is encoded before the file is created, so a bad value leaves nothing behind.
    std::vector<char> records(size_t(recordSize) * size_t(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const QVariantList &row = rows.at(r);
        if (row.size() != fields.size())
            return fail(QStringLiteral("в строке %1 %2 значений вместо %3").arg(r + 1).arg(row.size()).arg(fields.size()));
        char *out = records.data() + size_t(r) * size_t(recordSize);
        for (int i = 0; i < fields.size(); ++i) {
            const ParadoxField &f = fields.at(i);
            const QString fault = px::encodeField(f.type, row.at(i), out, fieldSize(f), f.decimals);
            if (!fault.isEmpty())
                return fail(QStringLiteral("строка %1, поле %2: %3").arg(r + 1).arg(f.name, fault));
            out += fieldSize(f);
        }
    }

    const QFileInfo target(path);
    QTemporaryFile temp(target.absolutePath() + QLatin1String("/.") + target.fileName() + QLatin1String(".XXXXXX"));
    if (!temp.open())
        return fail(temp.errorString());
    const QString tempPath = temp.fileName();
    temp.close(); // the name stays reserved and is removed with temp unless renamed
    // A temporary file is private to its owner; the table gets the permissions of the file it
    // replaces, or those of an ordinary new file.
    temp.setPermissions(target.exists() ? target.permissions()
                                        : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                              | QFileDevice::ReadOther);

    FILE *fp = px::openFile(tempPath, "w+b");
    if (!fp)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));

    bool ok = false;
    {
        px::Doc doc;
        if (!doc) {
            fail(QStringLiteral("нет памяти"));
        } else {
            pxdoc_t *d = doc.get();
            // pxlib takes ownership of the field list and frees it with its own allocator.
            auto *pxf = static_cast<pxfield_t *>(d->malloc(d, sizeof(pxfield_t) * size_t(fields.size()), "fields"));
            for (int i = 0; i < fields.size(); ++i) {
                pxf[i].px_fname = PX_strdup(d, toCp1251(fields.at(i).name).constData());
                pxf[i].px_ftype = char(fields.at(i).type);
                pxf[i].px_flen = fieldSize(fields.at(i));
                pxf[i].px_fdc = fields.at(i).type == ParadoxType::Bcd ? fields.at(i).decimals : 0;
            }
            if (PX_create_fp(d, pxf, int(fields.size()), fp, pxfFileTypNonIndexDB) < 0) {
                fail(QStringLiteral("pxlib: %1").arg(doc.messages()));
            } else {
                doc.setOpened();
                PX_set_parameter(d, "tablename", toCp1251(target.completeBaseName()).constData());
                if (options.fileVersion != 70)
                    PX_set_value(d, "fileversion", float(options.fileVersion));
                if (!options.password.isEmpty())
                    PX_set_parameter(d, "password", options.password.constData());
                d->px_head->px_doscodepage = 1251;
                ok = true;
                for (int r = 0; ok && r < rows.size(); ++r) {
                    if (PX_put_record(d, records.data() + size_t(r) * size_t(recordSize)) < 0)
                        ok = fail(QStringLiteral("запись %1: %2").arg(r + 1).arg(doc.messages()));
                }
            }
            doc.finish();
            if (ok && !doc.messages().isEmpty())
                ok = fail(QStringLiteral("pxlib: %1").arg(doc.messages()));
        }
    }
    if (std::fflush(fp) != 0 || std::ferror(fp))
        ok = ok && fail(QString::fromLocal8Bit(std::strerror(errno)));
#ifndef _WIN32
    if (ok && ::fsync(fileno(fp)) != 0)
        ok = fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    if (std::fclose(fp) != 0)
        ok = ok && fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!ok)
        return false;

    std::error_code ec;
    std::filesystem::rename(fsPath(tempPath), fsPath(path), ec);
    if (ec)
        return fail(QString::fromStdString(ec.message()));
    return true;
}

} // namespace talvir

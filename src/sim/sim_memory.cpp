#include "sim_memory.h"

#include "files/config_file.h"
#include "link/frames.h"

#include <QFile>
#include <QSaveFile>
#include <cstring>

namespace talvir {

bool SimMemory::replace(const QByteArray &content)
{
    if (content.size() != bytes_.size())
        return false;
    bytes_ = content;
    return true;
}

bool SimMemory::load(const QString &path, QString *error, QString *warning)
{
    // The configurator's reader of configuration files, with its size limit: the file side is shared,
    // only the protocol side of the simulator is kept apart.
    QString readError;
    const std::optional<QByteArray> read = readConfigFileBytes(path, &readError);
    if (!read) {
        *error = QStringLiteral("cannot read %1").arg(readError);
        return false;
    }
    return loadBytes(*read, path, error, warning);
}

bool SimMemory::loadBytes(const QByteArray &data, const QString &path, QString *error, QString *warning)
{
    if (warning)
        warning->clear();
    if (data.size() == bytes_.size()) {
        bytes_ = data;
        return true;
    }
    if (!data.startsWith("Trans")) {
        *error = QStringLiteral("%1 is neither a configuration file (no \"Trans\" signature) nor a raw "
                                "image of %2 bytes (it has %3 bytes)")
                     .arg(path)
                     .arg(bytes_.size())
                     .arg(data.size());
        return false;
    }
    if (data.size() < 6) {
        *error = QStringLiteral("%1: the signature record is cut short").arg(path);
        return false;
    }
    const FrameRecords records = splitRecords(data);
    if (records.failure != FileFailure::None) {
        *error = QStringLiteral("%1: the fixed record is missing").arg(path);
        return false;
    }
    const int first = records.hasFixedRecord ? 2 : 1; // file record of frame record 0

    QByteArray loaded = bytes_;
    int frames = 0;
    for (std::size_t i = 0; i < records.frames.size(); ++i) {
        const Frame &fr = records.frames[i];
        const qsizetype record = first + qsizetype(i);
        const qsizetype off = record * kRecordSize;
        if (fr[0] != kWriteCommand || !frameCrcValid(fr)) {
            *error = QStringLiteral("%1: record %2 (offset %3) is not a write frame with a good CRC: %4")
                         .arg(path)
                         .arg(record)
                         .arg(off)
                         .arg(QString::fromLatin1(frameBytes(fr).toHex(' ')));
            return false;
        }
        const int address = frameAddress(fr);
        if (address >= bytes_.size()) {
            *error = QStringLiteral("%1: record %2 writes address 0x%3, outside the memory of %4 bytes")
                         .arg(path)
                         .arg(record)
                         .arg(address, 4, 16, QLatin1Char('0'))
                         .arg(bytes_.size());
            return false;
        }
        loaded[address] = char(frameData(fr));
        ++frames;
    }
    if (frames == 0) {
        *error = QStringLiteral("%1 holds no write frames").arg(path);
        return false;
    }
    if (warning && frames != bytes_.size())
        *warning = QStringLiteral("%1 holds %2 frames, the memory has %3 bytes: the rest stays zero")
                       .arg(path)
                       .arg(frames)
                       .arg(bytes_.size());
    bytes_ = loaded;
    return true;
}

bool SimMemory::save(const QString &path, QString *error) const
{
    QSaveFile f(path);
    // Unbuffered: a buffered QSaveFile can commit a truncated file after a failed flush.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    if (f.write(bytes_) != bytes_.size()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

} // namespace talvir

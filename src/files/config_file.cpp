#include "config_file.h"

#include "files/bounded_read.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

namespace talvir {

namespace {
constexpr char kSignature[] = {'T', 'r', 'a', 'n', 's', 'P'};
// Addresses above the 300-slot panel area move up by the shift in MXR_600r's 300-slot layout.
constexpr int kPanelArea300 = 300 * kSlotSize;
} // namespace

QString formatMessage() { return QStringLiteral("Формат файла не соответствует типу устройства!"); }
QString fatalMessage() { return QStringLiteral("Возникла фатальная ошибка. Часть данных не загружена."); }

QByteArray configFileBytes(const SendList &list)
{
    QByteArray out;
    out.reserve((list.size() + 2) * kRecordSize);
    out.append(kSignature, kRecordSize);
    out.append(reinterpret_cast<const char *>(kFixedRecord.data()), kRecordSize);
    for (const Frame &f : list.frames())
        out.append(reinterpret_cast<const char *>(f.data()), kRecordSize);
    return out;
}

QString saveConfigFile(const QString &path, const SendList &list)
{
    const QString shown = QDir::toNativeSeparators(path);
    auto failed = [&](const QString &reason) {
        return QStringLiteral("Файл \"%1\" не записан: %2").arg(shown, reason);
    };
    // The temporary file would be renamed over whatever is there: a pipe, a device such as /dev/null
    // or a folder must stay what it is.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile())
        return failed(QStringLiteral("это не обычный файл (папка, канал или устройство); он не изменён"));
    // Unbuffered: a buffered QSaveFile can lose a failed flush and still commit a cut file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
    const QByteArray bytes = configFileBytes(list);
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return failed(reason);
        }
        done += n;
    }
    if (!file.commit())
        return failed(file.errorString());
    return QString();
}

FrameRecords splitRecords(const QByteArray &fileBytes)
{
    FrameRecords r;
    const qsizetype records = fileBytes.size() / kRecordSize;
    if (records < 1 || std::memcmp(fileBytes.constData(), kSignature, 5) != 0) {
        r.failure = FileFailure::Format;
        return r;
    }
    qsizetype first = 1;
    if (fileBytes.at(5) == 'P') {
        if (records < 2) {
            r.failure = FileFailure::Fatal; // the fixed record the signature announces is not there
            return r;
        }
        r.hasFixedRecord = true;
        first = 2;
    }
    r.frames.resize(std::size_t(records - first));
    if (!r.frames.empty())
        std::memcpy(r.frames.data(), fileBytes.constData() + first * kRecordSize,
                    std::size_t(records - first) * kRecordSize);
    return r;
}

int slotsOfFile(int frameRecordCount) { return frameRecordCount == kFrameRecords600 ? 600 : 300; }

std::optional<int> slotsOfFileIn(int frameRecordCount, const Variant &variant)
{
    if (frameRecordCount > kFrameRecords300 && frameRecordCount != kFrameRecords600)
        return std::nullopt;
    if (variant.fileAlways300Slots)
        return frameRecordCount == kFrameRecords600 ? std::nullopt : std::optional<int>(variant.maxPanels);
    return slotsOfFile(frameRecordCount);
}

int firstPanelRecord(const std::vector<Frame> &frames)
{
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frameAddress(frames[i]) == 0)
            return int(i);
    }
    return -1;
}

bool takePanelBlock(const std::vector<Frame> &frames, int start, int slotCount, QByteArray &panelArea)
{
    const qint64 need = qint64(slotCount) * kSlotSize;
    if (start < 0 || qint64(start) + need > qint64(frames.size()))
        return false;
    panelArea.resize(need);
    for (qint64 k = 0; k < need; ++k)
        panelArea[k] = char(frameData(frames[std::size_t(start + k)]));
    return true;
}

QList<PanelRecord> panelRowsOf(const QByteArray &panelArea)
{
    QList<PanelRecord> rows;
    const auto *bytes = reinterpret_cast<const unsigned char *>(panelArea.constData());
    const int slotCount = int(panelArea.size() / kSlotSize);
    for (int n = 1; n <= slotCount; ++n) {
        // The file loader translates the whole table in both programs.
        if (auto row = PanelSlot::decode(bytes + (n - 1) * kSlotSize, n, 24))
            rows.append(*row);
    }
    return rows;
}

ConfigFileContents decodeConfigFile(const QByteArray &fileBytes, const Variant &variant)
{
    ConfigFileContents c;
    auto fail = [&c](FileFailure kind) {
        c.failure = kind;
        c.message = kind == FileFailure::Format ? formatMessage() : fatalMessage();
        c.rows.clear();
        return c;
    };

    FrameRecords records = splitRecords(fileBytes);
    c.hasFixedRecord = records.hasFixedRecord;
    if (records.failure != FileFailure::None)
        return fail(records.failure);
    const std::vector<Frame> &frames = records.frames;
    const int count = int(frames.size());
    c.frameRecords = count;

    const std::optional<int> slotCount = slotsOfFileIn(count, variant);
    if (!slotCount)
        return fail(FileFailure::Format);
    c.slotCount = *slotCount;
    c.shift = variant.settingsBase() - c.slotCount * kSlotSize;
    c.reserveListEmptied = true;
    c.panelArea = QByteArray(c.slotCount * kSlotSize, '\0');
    const int settingsBase = variant.settingsBase();

    int p = 0;
    while (p < count) {
        int address = frameAddress(frames[std::size_t(p)]);
        if (address > kPanelArea300)
            address += c.shift;
        if (address == 0) {
            if (!takePanelBlock(frames, p, c.slotCount, c.panelArea)) {
                c.failedAtRecord = p;
                c.failedAtAddress = address;
                return fail(FileFailure::Fatal);
            }
            c.panelBlockFound = true;
            p += c.slotCount * kSlotSize;
            continue;
        }
        const std::optional<SettingField> field =
            address > settingsBase ? settingAt(address - settingsBase) : std::nullopt;
        if (!field) {
            ++p;
            continue;
        }
        const int width = settingWidth(*field);
        if (p + width > count) {
            c.failedAtRecord = p;
            c.failedAtAddress = address;
            return fail(FileFailure::Fatal);
        }
        QByteArray bytes(width, '\0');
        for (int k = 0; k < width; ++k)
            bytes[k] = char(frameData(frames[std::size_t(p + k)]));
        if (*field == SettingField::Reserve) {
            c.reserveReached = true;
            for (quint32 ip : reserveAddresses(reinterpret_cast<const unsigned char *>(bytes.constData()))) {
                if (c.reserveIps.size() < kReserveServers)
                    c.reserveIps.append(ip);
                else
                    ++c.reserveDropped;
            }
        } else {
            c.settings.append(LoadedSetting{*field, bytes, p});
        }
        p += width;
    }
    c.rows = panelRowsOf(c.panelArea);
    return c;
}

std::optional<QByteArray> readConfigFileBytes(const QString &path, QString *error)
{
    return readBoundedFile(path, kConfigFileReadLimit, error);
}

ConfigFileContents loadConfigFile(const QString &path, const Variant &variant)
{
    QString error;
    const std::optional<QByteArray> bytes = readConfigFileBytes(path, &error);
    if (!bytes) {
        ConfigFileContents c;
        c.failure = FileFailure::Format;
        c.message = formatMessage();
        c.readError = error;
        return c;
    }
    return decodeConfigFile(*bytes, variant);
}

void ConfigFileContents::applyTo(TransceiverConfig &config, const Variant &variant) const
{
    if (failure == FileFailure::Format)
        return;
    for (const LoadedSetting &s : settings)
        applySetting(s.field, reinterpret_cast<const unsigned char *>(s.bytes.constData()), config, variant);
    if (failure != FileFailure::None)
        return;
    config.reserveIps.fill(0);
    for (int i = 0; i < int(reserveIps.size()); ++i)
        config.reserveIps[std::size_t(i)] = reserveIps.at(i);
    config.panels = rows;
    sortRowsAsTable(config.panels);
}

} // namespace talvir

// Configuration files (*.kcf): 6-byte records, the signature "TransP", a fixed record, then one write
// frame per configuration byte. Writing is atomic; reading is a pure function from the file's bytes
// to what a load puts into the window.
#pragma once

#include "core/config_model.h"
#include "core/variant.h"
#include "image/config_image.h"
#include "link/frames.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace talvir {

constexpr int kRecordSize = 6;
// Frame records of a complete 300-slot (MXR_duziv) and 600-slot (MXR_600r) file. A 600-slot file is
// recognised by its exact count; fewer records than a 300-slot file are read as a 300-slot file.
constexpr int kFrameRecords300 = 14522;
constexpr int kFrameRecords600 = 28622;
// The largest correct file: a 600-slot file with its fixed record, 171744 bytes. Every reader of frame
// records (the load, kcftool, the simulator's --image) refuses a larger file before reading it whole;
// only a record fragment under 6 bytes, which the load drops, may follow.
constexpr qint64 kLargestConfigFile = qint64(kFrameRecords600 + 2) * kRecordSize;
constexpr qint64 kConfigFileReadLimit = kLargestConfigFile + kRecordSize - 1;

// The record that every file of ours carries after the signature. Readers skip it; its content is
// ours to choose. Its would-be address 0xC35A lies outside every image, so even a reader that took it
// for a frame would ignore it.
inline constexpr std::array<unsigned char, 6> kFixedRecord{0xA5, 0x5A, 0xC3, 0x3C, 0x96, 0x69};

// Messages of the load (title "Загрузка конфигурации").
QString formatMessage(); // "Формат файла не соответствует типу устройства!"
QString fatalMessage();  // "Возникла фатальная ошибка. Часть данных не загружена."

// ---- Writing -------------------------------------------------------------------------------------

// Signature, fixed record, then every frame of the list, 6 bytes each.
QByteArray configFileBytes(const SendList &list);

// Writes the file through a temporary file that replaces path only when every byte is on disk.
// Returns an empty text on success, else the reason (the file system's own words). On any failure an
// existing file at path is left exactly as it was; an existing path that is not a regular file (a
// folder, a pipe, a device) is refused before anything is written.
QString saveConfigFile(const QString &path, const SendList &list);

// ---- Reading -------------------------------------------------------------------------------------

enum class FileFailure {
    None,
    Format, // no "Trans" signature (empty, missing or unreadable file included): nothing changes
    Fatal,  // the records end inside the panel block or a field: the load stops there
};

// The records after the signature: what both the load and the appending of panels start from.
struct FrameRecords {
    FileFailure failure = FileFailure::None; // Format: bad signature; Fatal: "P" but no fixed record
    bool hasFixedRecord = false;
    std::vector<Frame> frames; // in file order; a final fragment under 6 bytes is dropped
};
FrameRecords splitRecords(const QByteArray &fileBytes);

// N of a file of this many frame records: 600 for exactly 28622, else 300.
int slotsOfFile(int frameRecordCount);

// N of a file as this program reads it, or nullopt when the program refuses the file with the format
// message. A count above a 300-slot file's that is not exactly a 600-slot file's belongs to neither
// program (a 600-slot file that lost its tail, a file with something appended): read as a 300-slot
// file its panel bytes from slot 301 on would be taken as settings. MXR_duziv also refuses a
// 600-slot file, which it cannot hold.
std::optional<int> slotsOfFileIn(int frameRecordCount, const Variant &variant);

// The index of the first frame record addressed 0, or -1.
int firstPanelRecord(const std::vector<Frame> &frames);

// The data bytes of the slotCount*47 records from start on, whatever addresses they carry; false (and
// panelArea untouched) when fewer records remain.
bool takePanelBlock(const std::vector<Frame> &frames, int start, int slotCount, QByteArray &panelArea);

// Rows of the used slots of a panel area, RecNmb = slot number (from 1), type codes translated by the
// file loader's table (codes 1-20 and 22-24 in both programs).
QList<PanelRecord> panelRowsOf(const QByteArray &panelArea);

// One settings field met in the file.
struct LoadedSetting {
    SettingField field;
    QByteArray bytes; // settingWidth(field) data bytes
    int record;       // index of its first frame record (0 = first frame record)
};

struct ConfigFileContents {
    FileFailure failure = FileFailure::None;
    QString message;          // formatMessage() / fatalMessage(); empty on success
    QString readError;        // Format: why the file could not be read at all (the system's words, the
                              // path named); empty when its bytes were read
    int failedAtRecord = -1;  // Fatal: the frame record where the missing field or block began
    int failedAtAddress = -1; // Fatal: that record's address after the layout shift

    bool hasFixedRecord = false;
    int frameRecords = 0;
    int slotCount = 0;        // N
    int shift = 0;            // added to addresses above 14100 (a 300-slot file in MXR_600r)

    // The load got past the signature and emptied the reserve server list; false when nothing at all
    // changes (Format failures).
    bool reserveListEmptied = false;

    QList<LoadedSetting> settings; // in file order, up to the failure; the window sets them in this order
    bool reserveReached = false;   // a whole reserve field was read
    QList<quint32> reserveIps;     // its non-zero addresses in file order, at most 80
    int reserveDropped = 0;        // addresses beyond the list's 80 rows (only a repeated field has any)

    bool panelBlockFound = false;
    QByteArray panelArea;          // N * 47 data bytes; zero where the file gave none
    QList<PanelRecord> rows;       // slot order; filled only when the load succeeds

    bool ok() const { return failure == FileFailure::None; }

    // What a load does to the model: settings in file order (ModeByte by the variant's rules); on
    // success ReserveIps = the reserve list padded with zeros, and panels = the rows in the order the
    // table shows them. On a fatal failure ReserveIps and the panels are left as they were (the load
    // stops before it takes them; the window's reserve list has been emptied and refilled meanwhile).
    // On a format failure nothing changes.
    void applyTo(TransceiverConfig &config, const Variant &variant) const;
};

// Reads a whole file's bytes as the load of this program does. A file that slotsOfFileIn() refuses gets
// the format message (frameRecords still tells its count) instead of panel bytes taken for settings.
ConfigFileContents decodeConfigFile(const QByteArray &fileBytes, const Variant &variant);

// The same from a path: a missing, unreadable or oversized file gives the format failure, with the
// reason in readError.
ConfigFileContents loadConfigFile(const QString &path, const Variant &variant);

// A file's bytes, or nullopt when it is missing, unreadable or larger than any configuration file
// (kConfigFileReadLimit); *error, when given, then says which and names the path.
std::optional<QByteArray> readConfigFileBytes(const QString &path, QString *error = nullptr);


} // namespace talvir

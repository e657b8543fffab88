// The simulated transceiver's configuration memory: MaxPanels x 47 + 422 bytes, loadable from a
// configuration file or a raw image, and saved as a raw image without ever leaving a half-written file.
#pragma once

#include <QByteArray>
#include <QString>

namespace talvir {

class SimMemory {
public:
    explicit SimMemory(int size) : bytes_(size, '\0') {}

    int size() const { return int(bytes_.size()); }
    const QByteArray &bytes() const { return bytes_; }
    unsigned char at(int address) const { return static_cast<unsigned char>(bytes_.at(address)); }
    void store(int address, unsigned char value) { bytes_[address] = char(value); }
    // Replaces the whole content; false when the size differs.
    bool replace(const QByteArray &content);
    void clear() { bytes_.fill('\0'); }

    // Loads a ".kcf" file (signature record "Trans"+x, a fixed record when x is "P", then 6-byte write
    // frames applied address by address) or a raw image of exactly size() bytes. On failure the memory
    // is unchanged and error says why. warning is set when a file loads but looks made for another
    // capacity.
    bool load(const QString &path, QString *error, QString *warning = nullptr);
    // The same for bytes already read; path names the file in the texts.
    bool loadBytes(const QByteArray &data, const QString &path, QString *error, QString *warning = nullptr);
    // Writes the raw image atomically.
    bool save(const QString &path, QString *error) const;

private:
    QByteArray bytes_;
};

} // namespace talvir

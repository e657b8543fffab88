// The datagrams of the LAN link: the configurator's commands and write blocks, the recognition of the
// transceiver's answers and read blocks, and the 14-byte status datagram with its caption and light.
#pragma once

#include "core/memory_layout.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace talvir {

namespace lancmd {
inline QByteArray config() { return QByteArrayLiteral("AT+CONFIG"); }
inline QByteArray dataStart() { return QByteArrayLiteral("AT+DATF"); }
inline QByteArray dataEnd() { return QByteArrayLiteral("AT+FPDE"); }
inline QByteArray readStart() { return QByteArrayLiteral("AT+READF"); }
inline QByteArray readyForNext() { return QByteArrayLiteral("AT+RDY0"); }
} // namespace lancmd

constexpr int kLanBufferSize = 512;         // transmit and receive buffers
constexpr int kSlotsPerBlock = 5;
constexpr int kObjectBlockData = kSlotSize * kSlotsPerBlock; // 235
constexpr int kShortSettingsData = SettingsBlock::ModeByte + 1; // a short settings block stops after the mode byte
constexpr int kBlockHeader = 12;
constexpr int kObjectBlockLength = kBlockHeader + kObjectBlockData;     // 247
constexpr int kSettingsBlockLength = kBlockHeader + kSettingsSize;      // 434
constexpr int kShortSettingsLength = kBlockHeader + kShortSettingsData; // 114
constexpr int kStatusLength = 14;

// "AT+FPD0=" + length (high byte first) + 0x00 + block number + data.
QByteArray writeBlock(int blockNumber, const QByteArray &data);
// Object block b (1-based) carries panel slots 5b-4 .. 5b: image bytes (b-1)·235 .. b·235-1.
QByteArray objectWriteBlock(const QByteArray &image, int blockNumber);
// The settings block carries the 422 settings bytes under block number 1.
QByteArray settingsWriteBlock(const QByteArray &settings);

// Answers of the transceiver, recognised as the configurator always has.
bool isOkAnswer(const QByteArray &d);      // length 2, "OK"
bool isReadyAnswer(const QByteArray &d);   // length 5, byte 1 'E', byte 4 'Y'
bool isGoodAnswer(const QByteArray &d);    // length 4, byte 0 'G', byte 3 'D'
bool isBadAnswer(const QByteArray &d);     // length 3, byte 0 'B', byte 2 'D'
// A read block: byte 2 '+', byte 5 'Y', length 247, 434 or 114. Its index is byte 11.
bool isReadBlock(const QByteArray &d);
inline int readBlockIndex(const QByteArray &d) { return static_cast<unsigned char>(d.at(11)); }
// Length 7, byte 2 '+', byte 6 'E'. Whether it ends the read also depends on the receive buffer.
bool looksLikeEndMarker(const QByteArray &d);

struct LanStatus {
    quint16 factoryNumber = 0;
    unsigned char modeByte = 0;
    unsigned char signal = 0;
    QString ip1;
    QString ip2;
    unsigned char channelCode = 0;

    QString modeText() const;
};

// The 14-byte status datagram; nothing for any other length.
std::optional<LanStatus> parseStatus(const QByteArray &d);
// v = (NOT byte) AND 0x0F: 0 "S,Lan", 1 "S,GSM_T", 2 "S,GPRS", 4 "S,GSM", 8 "M,Lan", 9 "M,GSM_T",
// 10 "M,GPRS", 12 "M,GSM", otherwise empty.
QString statusModeText(unsigned char modeByte);
// What follows the caption prefix while the status is shown.
QString statusCaptionSuffix(const LanStatus &s);

struct LightColour {
    int red, green, blue;
    bool operator==(const LightColour &) const = default;
};
// The status light by channel code: 1 green, 3 white, 4 fuchsia, 5 blue, anything else red.
LightColour statusLightColour(int channelCode);

} // namespace talvir

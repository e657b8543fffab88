// The 6-byte serial frames: [command, arg1, arg2, arg3, CRC high, CRC low], the transceiver's one-byte
// replies, and the send list that owns the write frames of one configuration.
#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <vector>

namespace talvir {

using Frame = std::array<unsigned char, 6>;

constexpr unsigned char kWriteCommand = 0x3B;
constexpr unsigned char kIdentCommand = 0x23;

// [0x3B, address low, address high, data, CRC high, CRC low]: one byte of the configuration memory.
Frame makeWriteFrame(std::uint16_t address, unsigned char data);

// 23 01 01 01 B8 B2: announces the configurator and keeps the serial link alive.
Frame identificationFrame();

inline QByteArray frameBytes(const Frame &f)
{
    return QByteArray(reinterpret_cast<const char *>(f.data()), int(f.size()));
}

// Frame fields as the transceiver reads them.
inline std::uint16_t frameAddress(const Frame &f) { return std::uint16_t(f[1] | (f[2] << 8)); }
inline unsigned char frameData(const Frame &f) { return f[3]; }
// True when bytes 4..5 hold the CRC of bytes 0..3.
bool frameCrcValid(const Frame &f);

enum class Reply {
    Ack,          // 0x01: the transceiver is there and took the last frame
    TypeRejected, // 0x02: it rejects the configurator's panel type
    Nak,          // 0x15: the last frame was not accepted
    StoreFailed,  // 0x25: it could not store data in its non-volatile memory
    Other,        // ignored
};
constexpr unsigned char kReplyAck = 0x01;
constexpr unsigned char kReplyTypeRejected = 0x02;
constexpr unsigned char kReplyNak = 0x15;
constexpr unsigned char kReplyStoreFailed = 0x25;

Reply classifyReply(unsigned char byte);

// The write frames of one configuration, in the order they go out. Owns its frames.
class SendList {
public:
    void queueWriteFrame(std::uint16_t address, unsigned char data) { frames_.push_back(makeWriteFrame(address, data)); }
    void clear()
    {
        frames_.clear();
        frames_.shrink_to_fit();
    }
    int size() const { return int(frames_.size()); }
    bool isEmpty() const { return frames_.empty(); }
    const Frame &at(int i) const { return frames_.at(std::size_t(i)); }
    const std::vector<Frame> &frames() const { return frames_; }

private:
    std::vector<Frame> frames_;
};

} // namespace talvir

#include "frames.h"
#include "crc16.h"

namespace talvir {

namespace {
void closeFrame(Frame &f)
{
    const std::uint16_t crc = Crc16(f.data(), 4);
    f[4] = static_cast<unsigned char>(crc >> 8);
    f[5] = static_cast<unsigned char>(crc & 0xFF);
}
} // namespace

Frame makeWriteFrame(std::uint16_t address, unsigned char data)
{
    Frame f{kWriteCommand, static_cast<unsigned char>(address & 0xFF), static_cast<unsigned char>(address >> 8), data,
            0, 0};
    closeFrame(f);
    return f;
}

Frame identificationFrame()
{
    Frame f{kIdentCommand, 0x01, 0x01, 0x01, 0, 0};
    closeFrame(f);
    return f;
}

bool frameCrcValid(const Frame &f)
{
    const std::uint16_t crc = Crc16(f.data(), 4);
    return f[4] == (crc >> 8) && f[5] == (crc & 0xFF);
}

Reply classifyReply(unsigned char byte)
{
    switch (byte) {
    case kReplyAck: return Reply::Ack;
    case kReplyTypeRejected: return Reply::TypeRejected;
    case kReplyNak: return Reply::Nak;
    case kReplyStoreFailed: return Reply::StoreFailed;
    default: return Reply::Other;
    }
}

} // namespace talvir

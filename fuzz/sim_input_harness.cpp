#include "sim_input_harness.h"

#include "fuzz_require.h"

#include "core/variant.h"
#include "link/frames.h"
#include "sim/lan_responder.h"
#include "sim/serial_responder.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace talvir {

namespace {

QByteArray bytesOf(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Every byte of the line ends in exactly one event or is still waiting for its frame; a frame is six
// bytes; only a good write frame inside the memory stores, and it stores its own byte (shadow: the
// memory as the stored events make it).
void checkSerialEvents(const QList<SerialEvent> &events, QByteArray &shadow, qint64 &accounted)
{
    for (const SerialEvent &e : events) {
        accounted += e.bytes.size();
        if (e.kind == SerialEvent::Kind::Garbage) {
            FUZZ_REQUIRE(e.bytes.size() >= 1 && e.bytes.size() <= 5 && e.reply == -1 && !e.stored);
            continue;
        }
        FUZZ_REQUIRE(e.bytes.size() == 6);
        FUZZ_REQUIRE(e.reply == kReplyAck || e.reply == kReplyNak);
        Frame f;
        std::memcpy(f.data(), e.bytes.constData(), 6);
        if (e.stored) {
            FUZZ_REQUIRE(e.kind == SerialEvent::Kind::Write && e.reply == kReplyAck);
            FUZZ_REQUIRE(frameAddress(f) < shadow.size());
            shadow[frameAddress(f)] = char(frameData(f));
        } else {
            FUZZ_REQUIRE(e.kind != SerialEvent::Kind::Write);
            FUZZ_REQUIRE(e.reply == (e.kind == SerialEvent::Kind::Ident ? kReplyAck : kReplyNak));
        }
    }
}

} // namespace

int fuzzSimSerial(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int piece = 1 + data[0] % 32;
    const QByteArray line = bytesOf(data + 1, size - 1);
    SimSettings settings;
    SimCounters counters;
    SimMemory memory(Variant::mxr600r().imageSize());
    SerialResponder responder(memory, settings, counters);
    QByteArray shadow = memory.bytes();
    qint64 accounted = 0;
    for (qsizetype at = 0; at < line.size(); at += piece) {
        checkSerialEvents(responder.feed(line.mid(at, piece)), shadow, accounted);
        FUZZ_REQUIRE(responder.pendingBytes() < 6);
        FUZZ_REQUIRE(memory.bytes() == shadow);
    }
    FUZZ_REQUIRE(accounted + responder.pendingBytes() == line.size());
    return 0;
}

int fuzzSimLan(const std::uint8_t *data, std::size_t size)
{
    for (const Variant *variant : {&Variant::mxr600r(), &Variant::mxrDuziv()}) {
        SimSettings settings;
        settings.variant = variant->id;
        SimCounters counters;
        SimMemory memory(variant->imageSize());
        LanResponder responder(memory, settings, counters);
        std::size_t at = 0;
        while (at + 2 <= size) {
            const std::size_t length = std::min<std::size_t>(std::size_t(data[at]) << 8 | data[at + 1], size - at - 2);
            const QByteArray datagram = bytesOf(data + at + 2, length);
            at += 2 + length;
            const QByteArray before = memory.bytes();
            const LanResult r = responder.onDatagram(datagram);
            // The memory changes only when a whole write is confirmed, and never changes its size.
            FUZZ_REQUIRE(memory.size() == variant->imageSize());
            FUZZ_REQUIRE(r.writeConfirmed || memory.bytes() == before);
            FUZZ_REQUIRE(!(r.writeConfirmed && r.writeRejected));
            for (const LanOut &out : r.out)
                FUZZ_REQUIRE(!out.bytes.isEmpty() && out.extraDelayMs >= 0);
        }
    }
    return 0;
}

} // namespace talvir

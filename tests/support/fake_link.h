// The link object on fakes: fake serial and datagram transports and a fake clock. The test keeps
// pointers to the transports to feed them and read what was sent.
#pragma once

#include "support/fake_timer.h"
#include "support/fake_transports.h"
#include "link/transceiver_link.h"

namespace talvir {

inline LinkParts fakeLinkParts(FakeClock &clock, FakeSerialTransport **port, FakeDatagramTransport **udp)
{
    LinkParts parts;
    parts.serialTransport = [port] {
        auto s = std::make_unique<FakeSerialTransport>();
        *port = s.get();
        return s;
    };
    parts.datagramTransport = [udp] {
        auto d = std::make_unique<FakeDatagramTransport>();
        *udp = d.get();
        return d;
    };
    parts.timers = clock.factory();
    return parts;
}

} // namespace talvir

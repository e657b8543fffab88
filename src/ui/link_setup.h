// What the main window builds its two links from: the serial and datagram transports, the timers and
// the LAN endpoint. The program takes the defaults (real ports, UDP port 9999 on all addresses);
// tests and benchmarks put loopback addresses, ephemeral ports and their own timers here.
#pragma once

#include "link/datagram_transport.h"
#include "link/serial_transport.h"
#include "link/timer.h"

#include <QHostAddress>
#include <functional>
#include <memory>

namespace talvir {

struct LinkSetup {
    // Empty: QtSerialTransport / QtDatagramTransport / qtTimerFactory().
    std::function<std::unique_ptr<SerialTransport>()> serialTransport;
    std::function<std::unique_ptr<DatagramTransport>()> datagramTransport;
    TimerFactory timers;

    // Where the configurator's UDP endpoint binds (when LAN is first chosen) and the transceiver's port.
    QHostAddress lanLocalAddress = QHostAddress(QHostAddress::AnyIPv4);
    quint16 lanLocalPort = 9999;
    quint16 lanRemotePort = 9999;
};

} // namespace talvir

// The main window with real links to an in-process simulated transceiver: the serial end on a real
// pseudo-terminal, the LAN end on real UDP sockets on 127.0.0.1 with ephemeral ports (tests run side
// by side), shortened timings, the scripted prompt service.
#pragma once

#include "gui_fixture.h"

#include "link/lan_channel.h"
#include "link/lan_datagrams.h"
#include "link/serial_channel.h"
#include "link/transceiver_link.h"
#include "link/serial_write.h"
#include "sim/transceiver_sim.h"

#include <QTemporaryDir>
#include <QTest>

namespace guitest {

// Short enough for a quick suite, long enough for a loaded machine running two suites at once.
inline Timing fastTiming()
{
    Timing t;
    t.pollMs = 50;
    t.retransmitMs = 400;
    t.blockWatchdogMs = 1000;
    // The serial keep-alive must answer within 2 ticks: 2 × 150 ms here instead of 2 × 55 ms.
    t.serialTickMs = 150;
    t.serialWriteSilenceMs = 3000;
    t.connectPassMs = 60;
    t.connectPasses = 11;
    return t;
}

struct LinkWindows {
    ScriptedPrompts prompts; // outlives the windows
    const Variant &variant;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<ReserveServerDialog> reserveList;
    std::unique_ptr<ObjectListDialog> objectList;
    std::unique_ptr<StartupDialog> startup;

    LinkWindows(const Variant &variant, const QString &typeFolder, const LinkParts &link,
                const Timing &timing = fastTiming())
        : variant(variant)
    {
        main = std::make_unique<MainWindow>(variant, prompts, typeFolder, timing, link);
        reserveList = std::make_unique<ReserveServerDialog>(main->reserveServers(), prompts);
        objectList = std::make_unique<ObjectListDialog>(variant, prompts);
        startup = std::make_unique<StartupDialog>(variant);
        main->setCompanions(reserveList.get(), objectList.get());
        main->setStartupChooser([this] { return startup->exec(); }); // as the program does
    }

    // Standalone mode, as a technician with other console software starts it.
    void start()
    {
        main->setStartupChooser([] { return 2; });
        main->show();
    }

    ~LinkWindows()
    {
        startup.reset();
        objectList.reset();
        reserveList.reset();
        main.reset();
    }
};

// The LAN endpoint on 127.0.0.1, an ephemeral local port, the transceiver at remotePort.
inline LinkParts loopbackLink(quint16 remotePort)
{
    LinkParts link;
    link.lanLocalAddress = QHostAddress(QHostAddress::LocalHost);
    link.lanLocalPort = 0;
    link.lanRemotePort = remotePort;
    return link;
}

// A simulated transceiver serving a pseudo-terminal (linked at dir/linkName) and 127.0.0.1 on an
// ephemeral UDP port. The status datagram is off unless a test switches it on.
struct SimRig {
    QTemporaryDir dir;
    TransceiverSim sim;
    QString link;
    QString error;

    explicit SimRig(const Variant &variant, const QString &linkName = QStringLiteral("tty7"))
        : sim(simSettings(variant))
    {
        link = dir.path() + QLatin1Char('/') + linkName;
    }

    static SimSettings simSettings(const Variant &variant)
    {
        SimSettings s;
        s.variant = variant.id;
        s.statusEnabled = false;
        return s;
    }

    bool startSerial() { return dir.isValid() && sim.startSerialPty(link, &error); }
    bool startUdp() { return sim.startUdp(QHostAddress(QHostAddress::LocalHost), 0, &error); }
};

// Panel row n as a technician would type it: distinct numbers, phones and types.
inline PanelRecord panelRow(int n)
{
    PanelRecord r;
    r.obj = QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
    r.account = QStringLiteral("%1").arg(1000 + n % 9000, 4, 10, QLatin1Char('0'));
    r.typeId = qint16(n % 2 ? 400 : 24);
    r.typeName = n % 2 ? QStringLiteral("Type 400") : QStringLiteral("Type 24");
    r.phone1 = QStringLiteral("8900%1").arg(n, 7, 10, QLatin1Char('0'));
    r.phone2 = n % 3 ? QString() : QStringLiteral("8911%1").arg(n, 9, 10, QLatin1Char('0'));
    r.testWait = 5 + n % 50;
    r.protocolCode = qint16(n % 2 ? 128 : 3);
    return r;
}

inline QByteArray imageBytes(MainWindow &form)
{
    return QByteArray(reinterpret_cast<const char *>(workspaceOf(form).image().data()), workspaceOf(form).image().size());
}

// Chooses USB with the port typed into the picker and waits until the transceiver answers.
inline bool bringUsbUp(LinkWindows &w, const QString &port, int timeoutMs = 5000)
{
    w.prompts.expectSerialPort(port);
    MainParts(*w.main).usbAction->trigger();
    return QTest::qWaitFor([&] { return linkOf(*w.main).serialChannel().isLinkUp(); }, timeoutMs);
}

// Chooses LAN with the address typed into the input box; the command returns when the connect ended.
inline bool bringLanUp(LinkWindows &w, const QString &address = QStringLiteral("127.0.0.1"))
{
    w.prompts.expectInput(QStringLiteral("Работа по ЛВС"), address);
    MainParts(*w.main).lanAction->trigger();
    return linkOf(*w.main).lanChannel().isConnected();
}

} // namespace guitest

#include "sim_rack.h"

#include "transceiver_sim.h"

#include <QMetaMethod>

namespace talvir {

SimRack::SimRack(QObject *parent) : QObject(parent) {}

SimRack::~SimRack()
{
    stop();
}

bool SimRack::start(const QList<SimUnit> &units, quint16 udpPort, QStringList *started, QStringList *warnings,
                    QString *error)
{
    stop();
    const bool logged = isSignalConnected(QMetaMethod::fromSignal(&SimRack::logLine));
    for (const SimUnit &unit : units) {
        auto *sim = new TransceiverSim(unit.settings, this);
        sim->setName(unit.name);
        sims_.append(sim);
        if (logged)
            connect(sim, &TransceiverSim::logLine, this, &SimRack::logLine);
        connect(sim, &TransceiverSim::saveFailed, this, &SimRack::saveFailed);
        if (!startOne(sim, unit, udpPort, started, warnings, error)) {
            if (!unit.name.isEmpty())
                *error = unit.name + QStringLiteral(": ") + *error;
            stop();
            return false;
        }
    }
    return true;
}

bool SimRack::startOne(TransceiverSim *sim, const SimUnit &unit, quint16 udpPort, QStringList *started,
                       QStringList *warnings, QString *error)
{
    if (!unit.imagePath.isEmpty()) {
        QString warning;
        if (!sim->loadImage(unit.imagePath, error, &warning))
            return false;
        if (!warning.isEmpty())
            warnings->append(warning);
    }
    if (!unit.serialPty.isEmpty()) {
        if (!sim->startSerialPty(unit.serialPty, error))
            return false;
        started->append(QStringLiteral("serial %1 -> %2").arg(sim->serialLinkPath(), sim->serialDevicePath()));
    } else if (!unit.serialDevice.isEmpty()) {
        if (!sim->startSerialDevice(unit.serialDevice, error))
            return false;
        started->append(QStringLiteral("serial %1").arg(sim->serialDevicePath()));
    }
    if (!unit.udpAddress.isNull()) {
        if (!sim->startUdp(unit.udpAddress, udpPort, error))
            return false;
        started->append(QStringLiteral("udp %1:%2").arg(sim->udpAddress().toString()).arg(sim->udpPort()));
    }
    return true;
}

void SimRack::stop()
{
    for (TransceiverSim *sim : std::as_const(sims_)) {
        sim->closeSerial();
        sim->stopUdp();
        delete sim;
    }
    sims_.clear();
}

TransceiverSim *SimRack::atAddress(const QHostAddress &address) const
{
    for (TransceiverSim *sim : sims_)
        if (sim->udpOpen() && sim->udpAddress().isEqual(address))
            return sim;
    return nullptr;
}

} // namespace talvir

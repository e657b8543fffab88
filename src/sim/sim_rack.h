// Several simulated transceivers in one process, each with its own memory, factory number, image file
// and faults, on its own loopback address or pseudo-terminal: the bench of transceivers a technician
// rolls a configuration out to.
#pragma once

#include "sim_settings.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace talvir {

class TransceiverSim;

// One transceiver of the rack and the ends it serves (a LAN address, a serial line, or both).
struct SimUnit {
    SimSettings settings;     // its faults, its factory number, its own save file
    QString imagePath;        // initial memory; empty: zeros
    QHostAddress udpAddress;  // null: no LAN end
    QString serialPty;        // link to a new pseudo-terminal; empty: none
    QString serialDevice;     // a real serial port; empty: none
    QString name;             // names it in the log lines; empty when it is the only one
};

class SimRack : public QObject {
    Q_OBJECT
public:
    explicit SimRack(QObject *parent = nullptr);
    ~SimRack() override;

    // Loads every image and opens every end, transceiver by transceiver. On a failure everything
    // opened is closed again and error names the transceiver. started gets one line per end, as
    // "serial LINK -> DEVICE", "serial DEVICE" or "udp ADDRESS:PORT"; warnings the images' warnings.
    // Connect logLine before: the transceivers log only when someone listens.
    bool start(const QList<SimUnit> &units, quint16 udpPort, QStringList *started, QStringList *warnings,
               QString *error);
    void stop();

    const QList<TransceiverSim *> &transceivers() const { return sims_; }
    // The transceiver serving this LAN address; null when none does.
    TransceiverSim *atAddress(const QHostAddress &address) const;

signals:
    void logLine(const QString &line);
    void saveFailed(const QString &message);

private:
    bool startOne(TransceiverSim *sim, const SimUnit &unit, quint16 udpPort, QStringList *started,
                  QStringList *warnings, QString *error);

    QList<TransceiverSim *> sims_;
};

} // namespace talvir

// The command line of transceiver-sim, turned into the transceivers to run: their settings and the ends
// each serves.
#pragma once

#include "sim/sim_rack.h"
#include "sim/sim_settings.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

namespace talvir {

struct SimOptions {
    SimSettings settings;            // what every transceiver starts from, before its own --fault
    QString imagePath;               // may name each transceiver's own file, see expandUnitPattern
    QStringList serialPtys;          // links to create
    QString serialDevice;            // real port to serve
    QList<QHostAddress> udpAddresses;
    quint16 udpPort = 9999;
    QStringList faults;              // TARGET:NAME[=VALUE], as given
    QList<SimUnit> units;            // the transceivers to run, resolved from all of the above
    QString logPath;
    bool verbose = false;
    bool helpShown = false; // --help or --version printed, nothing to run
};

// At most this many transceivers in one process: each takes a socket or a pseudo-terminal and its memory.
constexpr int kMaxSimUnits = 1000;

// False with a message naming the bad option and value.
bool parseSimOptions(const QStringList &arguments, SimOptions *options, QString *error);

// Options that act on one transceiver, by name without "--": applies NAME[=VALUE] to unit as the
// option would to every transceiver. False with a message when the name is unknown, is set for the
// whole simulator, has nothing to act on in this unit's ends, or its value is bad.
bool applyUnitOption(const QString &nameAndValue, SimUnit &unit, QString *error);

} // namespace talvir

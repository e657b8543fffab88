// The command line of transceiver-sim, turned into SimSettings and the ends to serve.
#pragma once

#include "sim/sim_settings.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

namespace talvir {

struct SimOptions {
    SimSettings settings;
    QString imagePath;
    QString serialPty;      // link to create
    QString serialDevice;   // real port to serve
    QHostAddress udpAddress; // null: no LAN end
    quint16 udpPort = 9999;
    QString logPath;
    bool verbose = false;
    bool helpShown = false; // --help or --version printed, nothing to run
};

// False with a message naming the bad option and value.
bool parseSimOptions(const QStringList &arguments, SimOptions *options, QString *error);

} // namespace talvir

// The plan of `kcftool fleet`: a CSV whose header names the columns target, action, file and, if
// wanted, verify (in any order), then one line per transceiver. The whole plan is checked before
// anything is sent; every fault carries its line.
#pragma once

#include "device_config.h"

#include <QList>
#include <QString>
#include <optional>

namespace kcftool {

struct FleetTarget {
    enum class Action { Write, Read, WriteVerify };
    int line = 0;
    QString target;        // as written: "lan:192.168.1.20" or "usb:/dev/ttyUSB0"
    QString port;          // usb: the serial port; empty for a LAN target
    QString address;       // lan: the transceiver's address as written
    QString verifyAddress; // write+verify: where the configuration is read back over LAN
    Action action = Action::Write;
    QString file;          // the .kcf to write, or where a read is saved ("{serial}" filled in then)
    std::optional<DeviceConfig> config; // a write's file, checked and decoded
};

struct PlanFault {
    int line = 0;
    QString text;
};

struct FleetPlan {
    QList<FleetTarget> targets;
    QList<PlanFault> faults; // in line order; the plan is run only when there is none
};

QString actionName(FleetTarget::Action action);

// Reads the plan's bytes. File names are taken relative to baseFolder (the plan's own folder).
FleetPlan readFleetPlan(const QByteArray &bytes, const QString &baseFolder, const talvir::Variant &variant);

} // namespace kcftool

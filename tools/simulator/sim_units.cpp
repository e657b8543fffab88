#include "sim_units.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace talvir {

namespace {

SimUnit unitFor(const SimOptions &o, const QHostAddress &address, const QString &pty, const QString &device)
{
    SimUnit u;
    u.settings = o.settings;
    u.udpAddress = address;
    u.serialPty = pty;
    u.serialDevice = device;
    return u;
}

// The served end a --fault value starts with, the longest when several do (a link may hold ':').
SimUnit *faultTarget(QList<SimUnit> &units, const QString &value, QString *rest)
{
    SimUnit *target = nullptr;
    qsizetype matched = 0;
    auto consider = [&](SimUnit &u, const QString &end) {
        if (!end.isEmpty() && end.size() > matched && value.startsWith(end + QLatin1Char(':'))) {
            target = &u;
            matched = end.size();
        }
    };
    for (SimUnit &u : units) {
        if (!u.udpAddress.isNull())
            consider(u, u.udpAddress.toString());
        consider(u, u.serialPty);
        consider(u, u.serialDevice);
    }
    if (target)
        *rest = value.mid(matched + 1);
    return target;
}

bool applyFaults(SimOptions &o, QString *error)
{
    for (const QString &value : std::as_const(o.faults)) {
        QString rest;
        SimUnit *unit = faultTarget(o.units, value, &rest);
        if (!unit) {
            *error = QStringLiteral("--fault: \"%1\" does not start with an address given to --udp or a link given "
                                    "to --serial-pty, then ':' (e.g. 127.0.0.7:lose-block=5)")
                         .arg(value);
            return false;
        }
        QString why;
        if (!applyUnitOption(rest, *unit, &why)) {
            *error = QStringLiteral("--fault \"%1\": %2").arg(value, why);
            return false;
        }
    }
    return true;
}

// Each transceiver's --image and --save-image, and no two transceivers saving to one file.
bool expandFiles(SimOptions &o, QString *error)
{
    QHash<QString, QString> savedBy; // file -> the transceiver saving to it
    for (SimUnit &u : o.units) {
        QString bad;
        QString save;
        if (!expandUnitPattern(o.imagePath, u, &u.imagePath, &bad)) {
            *error = QStringLiteral("--image: %1 in \"%2\" is none of {addr}, {link}, {serial}").arg(bad, o.imagePath);
            return false;
        }
        if (!expandUnitPattern(u.settings.saveImagePath, u, &save, &bad)) {
            *error = QStringLiteral("--save-image: %1 in \"%2\" is none of {addr}, {link}, {serial}")
                         .arg(bad, u.settings.saveImagePath);
            return false;
        }
        u.settings.saveImagePath = save;
        if (save.isEmpty())
            continue;
        const QString file = QFileInfo(save).absoluteFilePath();
        if (savedBy.contains(file)) {
            *error = QStringLiteral("--save-image: %1 and %2 would both save to %3: put {addr}, {link} or {serial} "
                                    "in the name")
                         .arg(savedBy.value(file), u.name, save);
            return false;
        }
        savedBy.insert(file, u.name);
    }
    return true;
}

} // namespace

bool expandUnitPattern(const QString &pattern, const SimUnit &unit, QString *path, QString *bad)
{
    static const QRegularExpression field(QStringLiteral("\\{([^{}]*)\\}"));
    const QString serialEnd = unit.serialPty.isEmpty() ? unit.serialDevice : unit.serialPty;
    QString out;
    qsizetype from = 0;
    for (auto it = field.globalMatch(pattern); it.hasNext();) {
        const auto m = it.next();
        const QString name = m.captured(1);
        QString value;
        if (name == QLatin1String("addr"))
            value = unit.udpAddress.isNull() ? QString() : unit.udpAddress.toString();
        else if (name == QLatin1String("link"))
            value = QFileInfo(serialEnd).fileName();
        else if (name == QLatin1String("serial"))
            value = QString::number(unit.settings.statusFactoryNumber);
        else {
            *bad = m.captured(0);
            return false;
        }
        out += pattern.mid(from, m.capturedStart() - from) + value;
        from = m.capturedEnd();
    }
    *path = out + pattern.mid(from);
    return true;
}

bool resolveSimUnits(SimOptions &o, QString *error)
{
    o.units.clear();
    const qsizetype serialEnds = o.serialPtys.size() + (o.serialDevice.isEmpty() ? 0 : 1);
    if (serialEnds <= 1 && o.udpAddresses.size() <= 1) {
        // One transceiver with both its sockets, as on a technician's bench.
        o.units.append(unitFor(o, o.udpAddresses.value(0), o.serialPtys.value(0), o.serialDevice));
    } else {
        for (const QHostAddress &a : std::as_const(o.udpAddresses))
            o.units.append(unitFor(o, a, {}, {}));
        for (const QString &link : std::as_const(o.serialPtys))
            o.units.append(unitFor(o, {}, link, {}));
        if (!o.serialDevice.isEmpty())
            o.units.append(unitFor(o, {}, {}, o.serialDevice));
        if (o.units.size() > kMaxSimUnits) {
            *error = QStringLiteral("--udp and --serial-pty: %1 transceivers, more than %2")
                         .arg(o.units.size())
                         .arg(kMaxSimUnits);
            return false;
        }
        for (SimUnit &u : o.units)
            u.name = u.udpAddress.isNull() ? (u.serialPty.isEmpty() ? u.serialDevice : u.serialPty)
                                           : u.udpAddress.toString();
    }
    const int base = o.settings.statusFactoryNumber;
    if (base + o.units.size() - 1 > 65535) {
        *error = QStringLiteral("--serial-no: %1 and one more for each of the %2 transceivers pass 65535")
                     .arg(base)
                     .arg(o.units.size());
        return false;
    }
    for (qsizetype i = 0; i < o.units.size(); ++i)
        o.units[i].settings.statusFactoryNumber = std::uint16_t(base + i);
    return applyFaults(o, error) && expandFiles(o, error);
}

} // namespace talvir

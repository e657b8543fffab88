#include "fleet_plan.h"

#include "csv_records.h"
#include "read_image_file.h"

#include "core/ip_text.h"
#include "link/link_texts.h"

#include <QDir>
#include <QHash>
#include <algorithm>

using namespace talvir;

namespace kcftool {

namespace {

enum Column { Target, Action, File, Verify, ColumnCount };

const QStringList &columnNames()
{
    static const QStringList names{QStringLiteral("target"), QStringLiteral("action"), QStringLiteral("file"),
                                   QStringLiteral("verify")};
    return names;
}

// An address the window's box accepts (not 0), in the dotted form answers come from; else nothing
// and *error says why.
std::optional<QString> transceiverAddress(const QString &text, QString *error)
{
    const std::optional<quint32> ip = ipFromText(text, error);
    if (!ip)
        return std::nullopt;
    if (*ip == 0) {
        *error = linktext::badTransceiverAddress().text;
        return std::nullopt;
    }
    unsigned char o[4];
    ipToOctets(*ip, o);
    return QStringLiteral("%1.%2.%3.%4").arg(o[0]).arg(o[1]).arg(o[2]).arg(o[3]);
}

class LineReader {
public:
    LineReader(const CsvRecord &record, const QList<int> &columnOf, const QString &baseFolder,
               const Variant &variant, QList<PlanFault> &faults)
        : record_(record), columnOf_(columnOf), baseFolder_(baseFolder), variant_(variant), faults_(faults)
    {
    }

    FleetTarget read()
    {
        FleetTarget t;
        t.line = record_.line;
        t.target = cell(Target);
        readTarget(t);
        readAction(t);
        readFile(t);
        return t;
    }

private:
    QString cell(Column c) const
    {
        const int i = columnOf_[c];
        return i >= 0 && i < record_.cells.size() ? record_.cells[i].trimmed() : QString();
    }
    void fault(const QString &text) { faults_.append({record_.line, text}); }

    void readTarget(FleetTarget &t)
    {
        const QString kind = t.target.section(QLatin1Char(':'), 0, 0);
        const QString rest = t.target.section(QLatin1Char(':'), 1);
        QString error;
        if (kind == QLatin1String("usb")) {
            if (rest.isEmpty())
                fault(QStringLiteral("target '%1': usb: needs a serial port (usb:/dev/ttyUSB0, usb:COM3)").arg(t.target));
            t.port = rest;
        } else if (kind == QLatin1String("lan")) {
            if (const auto a = transceiverAddress(rest, &error))
                t.address = *a;
            else
                fault(QStringLiteral("target '%1': %2").arg(t.target, error));
        } else {
            fault(QStringLiteral("target '%1': give lan:ADDRESS or usb:PORT").arg(t.target));
        }
        const QString verify = cell(Verify);
        if (!verify.isEmpty()) {
            const QString address = verify.startsWith(QLatin1String("lan:")) ? verify.mid(4) : verify;
            if (const auto a = transceiverAddress(address, &error))
                t.verifyAddress = *a;
            else
                fault(QStringLiteral("verify '%1': %2").arg(verify, error));
        }
    }

    void readAction(FleetTarget &t)
    {
        const QString action = cell(Action);
        if (action == QLatin1String("write")) {
            t.action = FleetTarget::Action::Write;
        } else if (action == QLatin1String("read")) {
            t.action = FleetTarget::Action::Read;
            if (!t.port.isEmpty())
                fault(QStringLiteral("read: the transceiver gives its configuration over LAN only"));
        } else if (action == QLatin1String("write+verify")) {
            t.action = FleetTarget::Action::WriteVerify;
            if (t.verifyAddress.isEmpty())
                t.verifyAddress = t.address;
            if (t.verifyAddress.isEmpty() && !t.port.isEmpty())
                fault(QStringLiteral("write+verify over USB needs the transceiver's LAN address in the verify "
                                     "column: it gives its configuration over LAN only"));
        } else {
            fault(QStringLiteral("action '%1': give write, read or write+verify").arg(action));
        }
    }

    void readFile(FleetTarget &t)
    {
        const QString given = cell(File);
        if (given.isEmpty()) {
            fault(QStringLiteral("no file"));
            return;
        }
        t.file = QDir(baseFolder_).absoluteFilePath(given);
        if (t.action == FleetTarget::Action::Read) {
            // Whatever the factory number turns out to be, the folder must take the file.
            QString probe = t.file;
            probe.replace(QStringLiteral("{serial}"), QStringLiteral("0"));
            if (const QString refusal = readOutputRefusal(probe); !refusal.isEmpty())
                fault(refusal);
            return;
        }
        QString error;
        t.config = readDeviceConfig(t.file, variant_, &error);
        if (!t.config)
            fault(error);
    }

    const CsvRecord &record_;
    const QList<int> &columnOf_;
    const QString &baseFolder_;
    const Variant &variant_;
    QList<PlanFault> &faults_;
};

// Each transceiver once: a LAN address (as a target or as where a write is verified), a serial port, a
// file that a read saves without "{serial}" in its name.
void findTwice(const QList<FleetTarget> &targets, QList<PlanFault> &faults)
{
    QHash<QString, int> firstLine;
    auto once = [&](const QString &key, const QString &what, int line) {
        if (key.isEmpty())
            return;
        const auto seen = firstLine.constFind(key);
        if (seen == firstLine.cend())
            firstLine.insert(key, line);
        else if (*seen != line)
            faults.append({line, QStringLiteral("%1 is given on line %2 too").arg(what).arg(*seen)});
    };
    for (const FleetTarget &t : targets) {
        once(t.address.isEmpty() ? QString() : QStringLiteral("lan:") + t.address, QStringLiteral("lan:") + t.address,
             t.line);
        if (!t.verifyAddress.isEmpty() && t.verifyAddress != t.address)
            once(QStringLiteral("lan:") + t.verifyAddress, QStringLiteral("lan:") + t.verifyAddress, t.line);
        once(t.port.isEmpty() ? QString() : QStringLiteral("usb:") + t.port, QStringLiteral("usb:") + t.port, t.line);
        if (t.action == FleetTarget::Action::Read && !t.file.contains(QStringLiteral("{serial}")))
            once(QStringLiteral("file:") + t.file, QStringLiteral("the file %1").arg(t.file), t.line);
    }
}

} // namespace

QString actionName(FleetTarget::Action action)
{
    switch (action) {
    case FleetTarget::Action::Write: return QStringLiteral("write");
    case FleetTarget::Action::Read: return QStringLiteral("read");
    case FleetTarget::Action::WriteVerify: return QStringLiteral("write+verify");
    }
    return {};
}

FleetPlan readFleetPlan(const QByteArray &bytes, const QString &baseFolder, const Variant &variant)
{
    FleetPlan plan;
    const QList<CsvRecord> records = readCsvRecords(bytes);
    QList<int> columnOf(ColumnCount, -1);
    const QStringList header = records.isEmpty() ? QStringList() : records.first().cells;
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed();
        const int c = int(columnNames().indexOf(name));
        if (c < 0)
            plan.faults.append({1, QStringLiteral("unknown column '%1' (target, action, file, verify)").arg(name)});
        else if (columnOf[c] >= 0)
            plan.faults.append({1, QStringLiteral("column '%1' given twice").arg(name)});
        else
            columnOf[c] = i;
    }
    for (Column required : {Target, Action, File}) {
        if (columnOf[required] < 0)
            plan.faults.append({1, QStringLiteral("missing column '%1'").arg(columnNames()[required])});
    }
    if (!plan.faults.isEmpty())
        return plan;

    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord &record = records[r];
        if (std::all_of(record.cells.begin(), record.cells.end(), [](const QString &c) { return c.trimmed().isEmpty(); }))
            continue;
        plan.targets.append(LineReader(record, columnOf, baseFolder, variant, plan.faults).read());
    }
    findTwice(plan.targets, plan.faults);
    if (plan.targets.isEmpty())
        plan.faults.append({1, QStringLiteral("the plan names no transceiver")});
    std::stable_sort(plan.faults.begin(), plan.faults.end(),
                     [](const PlanFault &a, const PlanFault &b) { return a.line < b.line; });
    return plan;
}

} // namespace kcftool

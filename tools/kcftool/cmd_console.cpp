// kcftool console: for the technician who sets console mode up. Where the alias file is looked for,
// the folder of each alias, each of the four tables with its record count and fields or why it
// cannot be read, and with --serial N whether the object query runs and what it lists.
// kcftool console --table FILE.db prints any Paradox table as CSV (UTF-8).
#include "command_line.h"
#include "commands.h"

#include "console/console_aliases.h"
#include "console/console_check.h"
#include "console/console_import.h"
#include "console/paradox_table.h"
#include "core/int_text.h"
#include "tables/protocol_codes.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

using namespace talvir;

namespace kcftool {
namespace {

const QString kUsage = QStringLiteral("kcftool console [--variant 600r|duziv] [--serial N]\n"
                                      "  kcftool console --table FILE.db");

QString typeName(const ParadoxField &f)
{
    switch (int(f.type)) {
    case 0x01: return QStringLiteral("Alpha(%1)").arg(f.size);
    case 0x02: return QStringLiteral("Date");
    case 0x03: return QStringLiteral("Short");
    case 0x04: return QStringLiteral("Long");
    case 0x05: return QStringLiteral("Currency");
    case 0x06: return QStringLiteral("Number");
    case 0x09: return QStringLiteral("Logical");
    case 0x0C: return QStringLiteral("Memo(%1)").arg(f.size);
    case 0x0D: return QStringLiteral("BLOB(%1)").arg(f.size);
    case 0x0E: return QStringLiteral("FmtMemo(%1)").arg(f.size);
    case 0x0F: return QStringLiteral("OLE(%1)").arg(f.size);
    case 0x10: return QStringLiteral("Graphic(%1)").arg(f.size);
    case 0x14: return QStringLiteral("Time");
    case 0x15: return QStringLiteral("Timestamp");
    case 0x16: return QStringLiteral("AutoInc");
    case 0x17: return QStringLiteral("BCD(%1)").arg(f.decimals);
    case 0x18: return QStringLiteral("Bytes(%1)").arg(f.size);
    default: return QStringLiteral("type 0x%1(%2)").arg(int(f.type), 2, 16, QLatin1Char('0')).arg(f.size);
    }
}

QString csvCell(const QVariant &v)
{
    if (v.isNull())
        return {};
    QString text;
    switch (v.typeId()) {
    case QMetaType::Bool:
        text = v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        break;
    case QMetaType::Double:
        text = QString::number(v.toDouble(), 'g', 15);
        break;
    case QMetaType::QDate:
        text = v.toDate().toString(Qt::ISODate);
        break;
    default:
        text = v.toString();
    }
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r')))
        text = QLatin1Char('"') + text.replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
    return text;
}

int printTable(const QString &path)
{
    ParadoxTable table;
    QString error;
    if (!readParadoxTable(path, table, error)) {
        printErr(error);
        return ExitRefused;
    }
    QString out;
    QStringList cells;
    for (const ParadoxField &f : std::as_const(table.fields))
        cells.append(csvCell(f.name));
    out += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
    for (const QVariantList &row : std::as_const(table.rows)) {
        cells.clear();
        for (const QVariant &v : row)
            cells.append(csvCell(v));
        out += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    printOut(out.toUtf8());
    return ExitOk;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The object query of a factory number and, per object, how many panels the import would take.
bool listObjects(const QString &serial, const Variant &variant, QString &out)
{
    QString error;
    const std::optional<qint32> parsed = strToInt(serial, &error);
    if (!parsed) {
        out += QStringLiteral("Object query: %1\n").arg(error);
        return false;
    }
    const qint32 number = *parsed;
    ConsoleImport import(variant);
    if (!import.openObjectList(number)) {
        out += QStringLiteral("Object query for factory number %1 (PTN '%2') fails: %3\n")
                   .arg(serial, factoryNumberParameter(number), import.error());
        return false;
    }
    out += QStringLiteral("Object query for factory number %1 (PTN '%2'): %3 objects, in list order\n")
               .arg(serial, factoryNumberParameter(number))
               .arg(import.objects().size());
    int total = 0;
    for (int i = 0; i < import.objects().size(); ++i) {
        const ConsoleObject &o = import.objects().at(i);
        QList<ConsolePanel> panels;
        if (!import.panelsOf(o.id, panels)) {
            out += QStringLiteral("  %1  panel query fails: %2\n").arg(o.line, import.error());
            return false;
        }
        int taken = 0;
        for (const ConsolePanel &p : std::as_const(panels))
            taken += panelRecordFrom(p, i, variant).has_value() ? 1 : 0;
        total += taken;
        out += QStringLiteral("  %1  [%2 GSM panels, %3 to import]\n").arg(o.line).arg(panels.size()).arg(taken);
    }
    out += QStringLiteral("Panels to import from all objects: %1 (the table holds %2)\n").arg(total).arg(variant.maxPanels);
    return true;
}

} // namespace

int cmdConsole(QStringList args)
{
    CommandLine line(kUsage, {{QStringLiteral("serial")}, {QStringLiteral("table")}});
    line.parse(args);
    const Variant &variant = line.variant();
    const QString serial = line.value(QStringLiteral("serial")).value_or(QString());
    const QString table = line.value(QStringLiteral("table")).value_or(QString());
    line.expectOperands(0);
    if (!table.isEmpty()) {
        if (!serial.isEmpty())
            throw UsageError(QStringLiteral("--table takes no --serial\nusage: %1").arg(kUsage));
        return printTable(table);
    }

    useDemoConsole();
    const ConsoleCheck check = checkConsole();
    QString out = QStringLiteral("Alias file, looked for in this order:\n");
    for (const QString &f : check.aliasFilesLookedFor) {
        const QString state = f == check.aliasFileInUse ? QStringLiteral("in use")
                            : QFileInfo::exists(f)       ? QStringLiteral("present, not used")
                                                         : QStringLiteral("not found");
        out += QStringLiteral("  %1  (%2)\n").arg(native(f), state);
    }
    for (const ConsoleAliasCheck &a : check.aliases) {
        out += a.error.isEmpty() ? QStringLiteral("Alias %1: %2\n").arg(a.alias, native(a.folder))
                                 : QStringLiteral("Alias %1: cannot be resolved: %2\n").arg(a.alias, a.error);
    }
    for (const ConsoleTableCheck &t : check.tables) {
        if (!t.readable) {
            out += QStringLiteral("Table %1 (%2): cannot be read: %3\n").arg(t.table, t.alias, t.error);
            continue;
        }
        QStringList fields;
        for (const ParadoxField &f : t.fields)
            fields.append(f.name + QLatin1Char(' ') + typeName(f));
        out += QStringLiteral("Table %1 (%2): %3, %4 records\n  fields: %5\n")
                   .arg(t.table, t.alias, native(t.path))
                   .arg(t.records)
                   .arg(fields.join(QLatin1String(", ")));
    }
    bool ok = check.ok();
    if (!serial.isEmpty())
        ok = listObjects(serial, variant, out) && ok;
    printOut(out.toUtf8());
    if (!ok) {
        const QString cause = consoleFailureCause(check);
        printErr(cause.isEmpty() ? QStringLiteral("console mode cannot run") : QString(cause).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return ExitRefused;
    }
    return ExitOk;
}

} // namespace kcftool

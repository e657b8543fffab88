// mkparadox: turns a table kept as text into a real Paradox table written by pxlib: the default
// panel-type table beside the programs and the demo console's tables.
//   mkparadox <table.txt> <Table.db>
// The text is UTF-8: '#' lines are comments; the first other line names the fields as
// Name:Type, tab-separated (Type: Long, Short, Logical, Number, Date, AlphaN with N its width, BCDN
// with N its decimal places, 0..32), a
// trailing '!' marking a key: every row gives it, not blank, and no two rows the same; each further
// line is a row, tab-separated; an empty cell is NULL, Logical cells are true/false, dates are
// YYYY-MM-DD. A table needs at least one row.
#include "console/paradox_writer.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringDecoder>

#include <cstdio>

using talvir::ParadoxField;
using talvir::ParadoxType;

namespace {

int fail(const QString &text)
{
    std::fprintf(stderr, "mkparadox: %s\n", text.toLocal8Bit().constData());
    return 1;
}

bool parseField(const QString &declaration, ParadoxField &field, bool &key)
{
    static const QRegularExpression form(
        QStringLiteral("^([^:]+):(Long|Short|Logical|Number|Date|Alpha([0-9]+)|BCD([0-9]+))(!?)$"));
    const QRegularExpressionMatch m = form.match(declaration.trimmed());
    if (!m.hasMatch())
        return false;
    key = !m.captured(5).isEmpty();
    field.name = m.captured(1);
    const QString type = m.captured(2);
    if (type == QLatin1String("Long"))
        field = {field.name, ParadoxType::Long, 4};
    else if (type == QLatin1String("Short"))
        field = {field.name, ParadoxType::Short, 2};
    else if (type == QLatin1String("Logical"))
        field = {field.name, ParadoxType::Logical, 1};
    else if (type == QLatin1String("Number"))
        field = {field.name, ParadoxType::Number, 8};
    else if (type == QLatin1String("Date"))
        field = {field.name, ParadoxType::Date, 4};
    else if (type.startsWith(QLatin1String("BCD")))
        field = {field.name, ParadoxType::Bcd, 17, m.captured(4).toInt()};
    else
        field = {field.name, ParadoxType::Alpha, m.captured(3).toInt()};
    return true;
}

// The cell as the writer takes it; an invalid QVariant with ok false when the text does not fit the type.
QVariant cellValue(const ParadoxField &field, const QString &cell, bool &ok)
{
    ok = true;
    if (cell.isEmpty())
        return {};
    switch (field.type) {
    case ParadoxType::Alpha:
    case ParadoxType::Bcd: // the writer reads the decimal text itself, without rounding
        return cell;
    case ParadoxType::Logical:
        ok = cell == QLatin1String("true") || cell == QLatin1String("false");
        return cell == QLatin1String("true");
    case ParadoxType::Number:
        return cell.toDouble(&ok);
    case ParadoxType::Date: {
        const QDate d = QDate::fromString(cell, Qt::ISODate);
        ok = d.isValid();
        return d;
    }
    default:
        return cell.toLongLong(&ok);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return fail(QStringLiteral("usage: mkparadox <table.txt> <Table.db>"));
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString target = QString::fromLocal8Bit(argv[2]);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(source, in.errorString()));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(in.readAll());
    if (utf8.hasError())
        return fail(QStringLiteral("%1: not UTF-8").arg(source));

    QList<ParadoxField> fields;
    QList<bool> keys;
    QList<QSet<QString>> seenKeys;
    QList<QVariantList> rows;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = QString(lines.at(n)).remove(QLatin1Char('\r'));
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString where = QStringLiteral("%1:%2: ").arg(source).arg(n + 1);
        const QStringList cells = line.split(QLatin1Char('\t'));
        if (fields.isEmpty()) {
            for (const QString &declaration : cells) {
                ParadoxField f;
                bool key = false;
                if (!parseField(declaration, f, key))
                    return fail(where + QStringLiteral("field \"%1\" is not Name:Type").arg(declaration));
                fields.append(f);
                keys.append(key);
            }
            seenKeys.resize(fields.size());
            continue;
        }
        if (cells.size() != fields.size())
            return fail(where + QStringLiteral("%1 cells for %2 fields").arg(cells.size()).arg(fields.size()));
        QVariantList row;
        for (int i = 0; i < cells.size(); ++i) {
            if (keys.at(i)) {
                const QString value = cells.at(i).trimmed();
                if (value.isEmpty())
                    return fail(where + QStringLiteral("key field %1 is blank").arg(fields.at(i).name));
                if (seenKeys[i].contains(value))
                    return fail(where + QStringLiteral("%1 \"%2\" given twice").arg(fields.at(i).name, value));
                seenKeys[i].insert(value);
            }
            bool ok = false;
            row.append(cellValue(fields.at(i), cells.at(i), ok));
            if (!ok)
                return fail(where + QStringLiteral("\"%1\" is not a value of field %2").arg(cells.at(i), fields.at(i).name));
        }
        rows.append(row);
    }
    if (fields.isEmpty())
        return fail(QStringLiteral("%1: no field line").arg(source));
    if (rows.isEmpty())
        return fail(QStringLiteral("%1: no rows").arg(source));
    QString error;
    if (!talvir::writeParadoxTable(target, fields, rows, error))
        return fail(error);
    return 0;
}

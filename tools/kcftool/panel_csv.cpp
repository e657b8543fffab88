#include "panel_csv.h"

#include "csv_records.h"

#include "core/int_text.h"
#include "core/memory_layout.h"
#include "tables/panel_table.h"
#include "tables/protocol_codes.h"

#include <algorithm>

using namespace talvir;

namespace kcftool {

namespace {

enum Column { RecNmb, Obj, Account, P1, P2, WaitTest, NPpk, TypeId, Prot, AF, Frmt, ColumnCount };

const QStringList &columnNames()
{
    static const QStringList names{
        QStringLiteral("№"),         QStringLiteral("Объект"),    QStringLiteral("ППК"),
        QStringLiteral("Телефон 1"), QStringLiteral("Телефон 2"), QStringLiteral("Тест"),
        QStringLiteral("Тип ППК"),   QStringLiteral("TypeId"),    QStringLiteral("Prot"),
        QStringLiteral("A_F"),       QStringLiteral("Frmt")};
    return names;
}

bool onlyOf(const QString &text, const QString &allowed)
{
    return std::all_of(text.begin(), text.end(), [&](QChar c) { return allowed.contains(c); });
}

// Reads one data record into a row; every bad cell goes to faults.
class RowReader {
public:
    RowReader(const CsvRecord &record, const QList<int> &columnOf, QList<CsvFault> &faults)
        : record_(record), columnOf_(columnOf), faults_(faults)
    {
    }

    QString cell(Column c) const
    {
        const int index = columnOf_[c];
        return index >= 0 && index < record_.cells.size() ? record_.cells[index].trimmed() : QString();
    }
    void fault(Column c, const QString &text)
    {
        faults_.append({record_.line, columnNames()[c], QStringLiteral("%1 (\"%2\")").arg(text, cell(c))});
    }

    // Object and panel numbers: the row check of the panel table, then what the boxes admit.
    QString number(Column c, PanelRowFault lengthFault)
    {
        const QString value = cell(c);
        static const QString kFourDigits = QStringLiteral("0000");
        const PanelRowFault found = c == Obj ? checkPanelNumbers(value, kFourDigits) : checkPanelNumbers(kFourDigits, value);
        if (found == lengthFault)
            fault(c, panelRowFaultText(found));
        else if (value.size() > 4)
            fault(c, QStringLiteral("longer than 4 characters"));
        else if (!onlyOf(value, QStringLiteral("0123456789ABCDEF")))
            fault(c, QStringLiteral("only the digits 0-9 and the capital letters A-F"));
        return value;
    }
    QString phone(Column c)
    {
        const QString value = cell(c);
        if (value.size() > PanelSlot::PhoneWidth)
            fault(c, QStringLiteral("longer than %1 characters").arg(PanelSlot::PhoneWidth));
        else if (!onlyOf(value, QStringLiteral("0123456789+")))
            fault(c, QStringLiteral("only the digits 0-9 and \"+\""));
        return value;
    }
    // A whole number min..max; an empty cell gives fallback.
    qint64 integer(Column c, qint64 min, qint64 max, qint64 fallback)
    {
        const QString value = cell(c);
        if (value.isEmpty())
            return fallback;
        const std::optional<qint32> n = strToInt(value);
        if (!n || *n < min || *n > max) {
            fault(c, QStringLiteral("a whole number from %1 to %2").arg(min).arg(max));
            return fallback;
        }
        return *n;
    }

private:
    const CsvRecord &record_;
    const QList<int> &columnOf_;
    QList<CsvFault> &faults_;
};

} // namespace

QByteArray panelsToCsv(const QList<PanelRecord> &rows, QChar separator)
{
    auto line = [separator](const QStringList &cells) {
        QStringList out;
        for (const QString &c : cells)
            out.append(csvCell(c, separator));
        return out.join(separator) + QStringLiteral("\r\n");
    };
    QString text = line(columnNames());
    for (const PanelRecord &r : rows)
        text += line({r.slot ? QString::number(*r.slot) : QString(), r.obj, r.account, r.phone1, r.phone2,
                      QString::number(r.testWait), r.typeName, QString::number(r.typeId), QString::number(r.protocolCode),
                      QString::number(r.alarmFlag), QString::number(r.format)});
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

PanelCsv panelsFromCsv(const QByteArray &bytes, int maxRows)
{
    PanelCsv result;
    const QList<CsvRecord> records = readCsvRecords(bytes);
    if (records.isEmpty()) {
        result.faults.append({1, QString(), QStringLiteral("no header line")});
        return result;
    }

    QList<int> columnOf(ColumnCount, -1);
    const QStringList header = records.first().cells;
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed();
        const int c = int(columnNames().indexOf(name));
        if (c < 0)
            result.faults.append({1, name, QStringLiteral("unknown column")});
        else if (columnOf[c] >= 0)
            result.faults.append({1, name, QStringLiteral("column given twice")});
        else
            columnOf[c] = i;
    }
    for (Column required : {Obj, Account}) {
        if (columnOf[required] < 0)
            result.faults.append({1, columnNames()[required], QStringLiteral("missing column")});
    }
    if (!result.faults.isEmpty())
        return result;

    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord &record = records[r];
        if (std::all_of(record.cells.begin(), record.cells.end(), [](const QString &c) { return c.trimmed().isEmpty(); }))
            continue;
        if (result.rows.size() == maxRows) {
            result.faults.append({record.line, QString(), QStringLiteral("Превышено максимально-допустимое число объектов")});
            break;
        }
        if (record.cells.size() > header.size())
            result.faults.append({record.line, QString(),
                                  QStringLiteral("%1 cells, the header names %2").arg(record.cells.size()).arg(header.size())});
        RowReader cells(record, columnOf, result.faults);
        PanelRecord row;
        row.obj = cells.number(Obj, PanelRowFault::ObjectNumber);
        row.account = cells.number(Account, PanelRowFault::PanelNumber);
        row.phone1 = cells.phone(P1);
        row.phone2 = cells.phone(P2);
        row.testWait = qint32(cells.integer(WaitTest, 0, 2147483647, 0));
        row.typeName = panelTypeText(cells.cell(NPpk));
        row.typeId = qint16(cells.integer(TypeId, -32768, 32767, 0));
        row.protocolCode = qint16(cells.integer(Prot, 0, 255, protocolCode(row.typeId)));
        result.rows.append(row);
    }
    return result;
}

} // namespace kcftool

#include "csv_records.h"

#include "core/cp1251.h"

#include <QStringDecoder>

using namespace talvir;

namespace kcftool {

namespace {

// A text saved by Windows in its Russian code page is rarely valid UTF-8; one that is, is taken as UTF-8.
QString decodeText(const QByteArray &bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        return QString::fromUtf8(bytes.mid(bom.size()));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? fromCp1251(bytes) : text;
}

// RFC 4180 records: quoted cells may hold the separator, doubled quotes and line breaks.
QList<CsvRecord> splitCsvRecords(const QString &text, QChar separator)
{
    QList<CsvRecord> records;
    CsvRecord current{1, {}};
    QString cell;
    bool inQuotes = false;
    int line = 1;
    auto endRecord = [&] {
        current.cells.append(cell);
        cell.clear();
        records.append(current);
        current = CsvRecord{line, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                cell += c;
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
        } else if (c == separator) {
            current.cells.append(cell);
            cell.clear();
        } else if (c == QLatin1Char('\r')) {
            continue;
        } else if (c == QLatin1Char('\n')) {
            ++line;
            endRecord();
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !current.cells.isEmpty())
        endRecord();
    return records;
}

} // namespace

QList<CsvRecord> readCsvRecords(const QByteArray &bytes)
{
    const QString text = decodeText(bytes);
    const QString firstLine = text.section(QLatin1Char('\n'), 0, 0);
    const QChar separator = firstLine.contains(QLatin1Char(';')) ? QLatin1Char(';') : QLatin1Char(',');
    return splitCsvRecords(text, separator);
}

QString csvCell(const QString &cell, QChar separator)
{
    if (!cell.contains(separator) && !cell.contains(QLatin1Char('"')) && !cell.contains(QLatin1Char('\n')) &&
        !cell.contains(QLatin1Char('\r')))
        return cell;
    QString q = cell;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace kcftool

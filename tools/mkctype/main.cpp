// mkctype: turns the default panel-type list (data/central_types.txt) into the Paradox table
// CentralType.db that the programs open from their own folder when no console is present.
//   mkctype <central_types.txt> <CentralType.db>
#include "console/paradox_writer.h"

#include <QFile>
#include <QSet>
#include <QString>
#include <QStringDecoder>

#include <cstdio>

namespace {

constexpr int kNameWidth = 40;

int fail(const QString &text)
{
    std::fprintf(stderr, "mkctype: %s\n", text.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return fail(QStringLiteral("usage: mkctype <central_types.txt> <CentralType.db>"));
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString target = QString::fromLocal8Bit(argv[2]);

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(source, in.errorString()));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(in.readAll());
    if (utf8.hasError())
        return fail(QStringLiteral("%1: not UTF-8").arg(source));

    QList<QVariantList> rows;
    QSet<int> seen;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = QString(lines.at(n)).remove(QLatin1Char('\r'));
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const auto where = [&] { return QStringLiteral("%1:%2: ").arg(source).arg(n + 1); };
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            return fail(where() + QStringLiteral("expected TypeId, a tab and NameCentral"));
        bool ok = false;
        const int typeId = line.left(tab).trimmed().toInt(&ok);
        if (!ok)
            return fail(where() + QStringLiteral("TypeId is not an integer"));
        if (seen.contains(typeId))
            return fail(where() + QStringLiteral("TypeId %1 given twice").arg(typeId));
        seen.insert(typeId);
        const QString name = line.mid(tab + 1).trimmed();
        if (name.isEmpty())
            return fail(where() + QStringLiteral("NameCentral is empty"));
        rows.append({typeId, name});
    }
    if (rows.isEmpty())
        return fail(QStringLiteral("%1: no panel types").arg(source));

    const QList<talvir::ParadoxField> fields{
        {QStringLiteral("TypeId"), talvir::ParadoxType::Long, 4},
        {QStringLiteral("NameCentral"), talvir::ParadoxType::Alpha, kNameWidth},
    };
    QString error;
    if (!talvir::writeParadoxTable(target, fields, rows, error))
        return fail(error);
    return 0;
}

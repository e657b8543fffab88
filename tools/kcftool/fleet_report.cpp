#include "fleet_report.h"

#include "csv_records.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace kcftool {

namespace {

QByteArray csvReport(const QList<const FleetJob *> &jobs)
{
    const QChar sep = QLatin1Char(';');
    QString text = QStringLiteral("target;action;factoryNumber;result;message;seconds;differingBytes\r\n");
    for (const FleetJob *job : jobs) {
        const FleetOutcome &o = job->outcome();
        const QStringList cells{job->target().target,
                                actionName(job->target().action),
                                o.factoryNumber,
                                resultName(o.result),
                                o.message,
                                QString::number(o.seconds, 'f', 1),
                                o.differingBytes < 0 ? QString() : QString::number(o.differingBytes)};
        QStringList quoted;
        for (const QString &c : cells)
            quoted << csvCell(c, sep);
        text += quoted.join(sep) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QByteArray jsonReport(const QList<const FleetJob *> &jobs)
{
    QJsonArray lines;
    for (const FleetJob *job : jobs) {
        const FleetOutcome &o = job->outcome();
        QJsonObject line{{"target", job->target().target},
                         {"action", actionName(job->target().action)},
                         {"factoryNumber", o.factoryNumber},
                         {"result", resultName(o.result)},
                         {"message", o.message},
                         {"seconds", qRound(o.seconds * 10) / 10.0}};
        line["differingBytes"] = o.differingBytes < 0 ? QJsonValue() : QJsonValue(o.differingBytes);
        lines.append(line);
    }
    return QJsonDocument(lines).toJson();
}

} // namespace

QString writeFleetReport(const QString &path, const QList<const FleetJob *> &jobs)
{
    const QByteArray bytes = path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive) ? jsonReport(jobs)
                                                                                         : csvReport(jobs);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("%1: the report could not be written: %2").arg(path, file.errorString());
    return {};
}

} // namespace kcftool

#include "diff_report.h"

#include "config_json.h"
#include "core/ip_text.h"

#include <QJsonArray>

using namespace talvir;

namespace kcftool {

namespace {

QString shown(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString)
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    return value.toString();
}

// A switch's value with the caption of its item, when it has one.
QString shownItem(const QVariant &value, const QStringList &items)
{
    const int index = value.toInt();
    if (index < 0 || index >= items.size())
        return value.toString();
    return QStringLiteral("%1 \"%2\"").arg(index).arg(items[index]);
}

QString shownSetting(const FieldChange &c, const QVariant &value, const Variant &variant)
{
    if (c.field == QLatin1String("protocol"))
        return shownItem(value, variant.protocolItems);
    if (c.field == QLatin1String("conversion"))
        return value.toInt() < 0 ? QStringLiteral("-1 (none)") : shownItem(value, variant.conversionItems);
    if (c.field == QLatin1String("mode"))
        return shownItem(value, variant.modeItems);
    return shown(value);
}

QString rowText(const PanelRecord &r)
{
    return QStringLiteral("obj \"%1\" account \"%2\" typeId %3 prot %4 p1 \"%5\" p2 \"%6\" waitTest %7")
        .arg(r.obj, r.account)
        .arg(r.typeId)
        .arg(r.protocolCode)
        .arg(r.phone1, r.phone2)
        .arg(r.testWait);
}

QString ipOrEmpty(quint32 ip) { return ip ? ipToText(ip) : QStringLiteral("(empty)"); }

QJsonObject changeJson(const FieldChange &c)
{
    return {{"field", c.field},
            {"before", QJsonValue::fromVariant(c.before)},
            {"after", QJsonValue::fromVariant(c.after)},
            {"address", c.address}};
}

QJsonArray changesJson(const QList<FieldChange> &changes)
{
    QJsonArray list;
    for (const FieldChange &c : changes)
        list.append(changeJson(c));
    return list;
}

const char *kindName(SlotChange::Kind kind)
{
    switch (kind) {
    case SlotChange::Kind::Added: return "added";
    case SlotChange::Kind::Removed: return "removed";
    case SlotChange::Kind::Changed: break;
    }
    return "changed";
}

} // namespace

QByteArray diffText(const ConfigDiff &diff, const Variant &variant)
{
    QString out;
    for (const FieldChange &c : diff.settings)
        out += QStringLiteral("settings %1: %2 -> %3\n")
                   .arg(c.field, shownSetting(c, c.before, variant), shownSetting(c, c.after, variant));
    for (const ReserveChange &c : diff.reserve)
        out += QStringLiteral("reserve %1: %2 -> %3\n").arg(c.entry).arg(ipOrEmpty(c.before), ipOrEmpty(c.after));
    for (const SlotChange &s : diff.panels) {
        if (s.kind == SlotChange::Kind::Added)
            out += QStringLiteral("panel %1: added %2\n").arg(s.slot).arg(rowText(*s.after));
        else if (s.kind == SlotChange::Kind::Removed)
            out += QStringLiteral("panel %1: removed %2\n").arg(s.slot).arg(rowText(*s.before));
        for (const FieldChange &c : s.fields)
            out += QStringLiteral("panel %1 %2: %3 -> %4\n").arg(s.slot).arg(c.field, shown(c.before), shown(c.after));
    }
    return out.toUtf8();
}

QJsonObject diffJson(const ConfigDiff &diff)
{
    QJsonArray reserve;
    for (const ReserveChange &c : diff.reserve)
        reserve.append(QJsonObject{{"entry", c.entry},
                                   {"before", c.before ? QJsonValue(ipToText(c.before)) : QJsonValue()},
                                   {"after", c.after ? QJsonValue(ipToText(c.after)) : QJsonValue()}});
    QJsonArray panels;
    for (const SlotChange &s : diff.panels) {
        QJsonObject o{{"slot", s.slot}, {"change", kindName(s.kind)}};
        if (s.before)
            o["before"] = panelToJson(*s.before);
        if (s.after)
            o["after"] = panelToJson(*s.after);
        if (!s.fields.isEmpty())
            o["fields"] = changesJson(s.fields);
        panels.append(o);
    }
    return {{"equal", diff.isEmpty()}, {"settings", changesJson(diff.settings)}, {"reserve", reserve}, {"panels", panels}};
}

} // namespace kcftool

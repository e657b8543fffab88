#include "config_json.h"

#include "core/cp1251.h"
#include "core/ip_text.h"
#include "core/memory_layout.h"
#include "json_keys.h"
#include "tables/protocol_codes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSet>
#include <algorithm>
#include <cmath>

using namespace talvir;

namespace kcftool {

namespace {

// A refusal deep in the reading ends it at once; configFromJson turns it into its error text.
struct Refusal {
    QString text;
};

[[noreturn]] void refuse(const QString &text) { throw Refusal{text}; }

[[noreturn]] void bad(const QString &field, const QString &what)
{
    refuse(QStringLiteral("field '%1': %2").arg(field, what));
}

void checkKeys(const QJsonObject &o, const QStringList &known, const QString &prefix)
{
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (!known.contains(it.key()))
            bad(prefix + it.key(), QStringLiteral("unknown key"));
    }
}

QString text(const QJsonObject &o, const QString &key, const QString &field, const QString &fallback, int maxBytes = -1)
{
    const QJsonValue v = o.value(key);
    if (v.isUndefined())
        return fallback;
    if (!v.isString())
        bad(field, QStringLiteral("must be a string"));
    const QString s = v.toString();
    // No box of the window holds one, and a zero would end the transceiver's field early: the load
    // would show less than was written.
    if (std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x20; }))
        bad(field, QStringLiteral("must not hold control characters"));
    // The transceiver stores Windows-1251: any other character would be written as "?".
    if (fromCp1251(toCp1251(s)) != s)
        bad(field, QStringLiteral("holds characters outside Windows-1251"));
    // The transceiver's field would cut a longer text; refuse rather than lose its end.
    if (maxBytes >= 0 && toCp1251(s).size() > maxBytes)
        bad(field, QStringLiteral("longer than %1 characters").arg(maxBytes));
    return s;
}

qint64 integer(const QJsonObject &o, const QString &key, const QString &field, qint64 fallback, qint64 min, qint64 max)
{
    const QJsonValue v = o.value(key);
    if (v.isUndefined())
        return fallback;
    if (!v.isDouble())
        bad(field, QStringLiteral("must be a whole number"));
    const double d = v.toDouble();
    if (d != std::floor(d))
        bad(field, QStringLiteral("must be a whole number"));
    if (d < double(min) || d > double(max))
        bad(field, QStringLiteral("must be between %1 and %2").arg(min).arg(max));
    return qint64(d);
}

PanelRecord panelFromJson(const QJsonValue &value, int index)
{
    const QString at = QStringLiteral("panels[%1].").arg(index);
    if (!value.isObject())
        bad(QStringLiteral("panels[%1]").arg(index), QStringLiteral("must be an object"));
    const QJsonObject o = value.toObject();
    checkKeys(o, {"recNmb", "obj", "account", "typeId", "prot", "p1", "p2", "waitTest", "aF", "frmt"}, at);
    PanelRecord row;
    row.obj = text(o, "obj", at + "obj", QString(), 4);
    row.account = text(o, "account", at + "account", QString(), 4);
    row.typeId = qint16(integer(o, "typeId", at + "typeId", 0, -32768, 32767));
    row.phone1 = text(o, "p1", at + "p1", QString(), 13);
    row.phone2 = text(o, "p2", at + "p2", QString(), 13);
    row.testWait = qint32(integer(o, "waitTest", at + "waitTest", 0, 0, 2147483647));
    row.protocolCode = qint16(integer(o, "prot", at + "prot", protocolCode(row.typeId), 0, 255));
    return row;
}

TransceiverConfig readConfig(const QByteArray &json, const Variant &variant)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        refuse(QStringLiteral("malformed JSON at offset %1: %2").arg(error.offset).arg(error.errorString()));
    if (!doc.isObject())
        refuse(QStringLiteral("malformed JSON: the configuration must be an object"));
    // Qt keeps the last of two equal keys: which one the technician meant is not ours to guess.
    if (const std::optional<QString> repeated = firstRepeatedKey(json))
        bad(*repeated, QStringLiteral("given twice"));
    const QJsonObject o = doc.object();
    checkKeys(o, {"serialNo", "baud", "testPeriod", "apn", "serverIp", "serverPort", "dhcp", "localIp", "localPort",
                  "gatewayIp", "protocol", "conversion", "mode", "reserveIps", "panels"},
              QString());

    TransceiverConfig c = TransceiverConfig::defaults(variant, false);
    c.factoryNumber = text(o, "serialNo", "serialNo", c.factoryNumber);
    c.baudText = text(o, "baud", "baud", c.baudText, 6);
    c.testPeriod = int(integer(o, "testPeriod", "testPeriod", c.testPeriod, kTestPeriodMin, kTestPeriodMax));
    c.apn = text(o, "apn", "apn", c.apn, 64);
    c.serverIp = text(o, "serverIp", "serverIp", c.serverIp);
    c.serverPort = text(o, "serverPort", "serverPort", c.serverPort);
    c.dhcp = int(integer(o, "dhcp", "dhcp", c.dhcp, 0, 1));
    c.localIp = text(o, "localIp", "localIp", c.localIp);
    c.localPort = text(o, "localPort", "localPort", c.localPort);
    c.gatewayIp = text(o, "gatewayIp", "gatewayIp", c.gatewayIp);
    c.protocol = int(integer(o, "protocol", "protocol", c.protocol, 0, variant.protocolItems.size() - 1));
    c.conversion = int(integer(o, "conversion", "conversion", c.conversion, -1, variant.conversionItems.size() - 1));
    c.mode = int(integer(o, "mode", "mode", c.mode, -1, variant.modeItems.size() - 1));

    const QJsonValue reserve = o.value("reserveIps");
    if (!reserve.isUndefined()) {
        if (!reserve.isArray())
            bad("reserveIps", QStringLiteral("must be an array of addresses"));
        const QJsonArray list = reserve.toArray();
        if (list.size() > kReserveServers)
            bad("reserveIps", QStringLiteral("more than %1 addresses").arg(kReserveServers));
        for (int i = 0; i < list.size(); ++i) {
            const QString field = QStringLiteral("reserveIps[%1]").arg(i);
            if (!list[i].isString())
                bad(field, QStringLiteral("must be a string"));
            const quint32 ip = ipFromText(list[i].toString()).value_or(0);
            if (ip == 0)
                bad(field, QStringLiteral("'%1' is not an IPv4 address").arg(list[i].toString()));
            c.reserveIps[std::size_t(i)] = ip;
        }
    }

    const QJsonValue panels = o.value("panels");
    if (!panels.isUndefined()) {
        if (!panels.isArray())
            bad("panels", QStringLiteral("must be an array of panel objects"));
        const QJsonArray list = panels.toArray();
        for (int i = 0; i < list.size(); ++i)
            c.panels.append(panelFromJson(list[i], i));
    }
    return c;
}

} // namespace

std::optional<TransceiverConfig> configFromJson(const QByteArray &json, const Variant &variant, QString *error)
{
    try {
        return readConfig(json, variant);
    } catch (const Refusal &refusal) {
        if (error)
            *error = refusal.text;
        return std::nullopt;
    }
}

QJsonObject panelToJson(const PanelRecord &row)
{
    QJsonObject o;
    if (row.slot)
        o["recNmb"] = *row.slot;
    o["obj"] = row.obj;
    o["account"] = row.account;
    o["typeId"] = row.typeId;
    o["prot"] = row.protocolCode;
    o["p1"] = row.phone1;
    o["p2"] = row.phone2;
    o["waitTest"] = row.testWait;
    o["aF"] = row.alarmFlag;
    o["frmt"] = row.format;
    return o;
}

QJsonObject contentsToJson(const ConfigFileContents &contents, const Variant &variant)
{
    QJsonObject o;
    if (contents.failure == FileFailure::Format)
        return o;
    TransceiverConfig c = TransceiverConfig::defaults(variant, false);
    contents.applyTo(c, variant);
    QSet<SettingField> present;
    for (const LoadedSetting &s : contents.settings)
        present.insert(s.field);
    auto put = [&](SettingField f, const char *key, const QJsonValue &value) {
        if (present.contains(f))
            o[key] = value;
    };
    put(SettingField::FactoryNumber, "serialNo", c.factoryNumber);
    put(SettingField::Baud, "baud", c.baudText);
    put(SettingField::TestPeriod, "testPeriod", c.testPeriod);
    put(SettingField::Apn, "apn", c.apn);
    put(SettingField::ServerIp, "serverIp", c.serverIp);
    put(SettingField::ServerPort, "serverPort", c.serverPort);
    put(SettingField::LocalIp, "localIp", c.localIp);
    put(SettingField::LocalPort, "localPort", c.localPort);
    put(SettingField::GatewayIp, "gatewayIp", c.gatewayIp);
    put(SettingField::ModeByte, "protocol", c.protocol);
    put(SettingField::ModeByte, "conversion", c.conversion);
    put(SettingField::ModeByte, "mode", c.mode);
    if (contents.reserveReached) {
        QJsonArray list;
        for (quint32 ip : contents.reserveIps)
            list.append(ipToText(ip));
        o["reserveIps"] = list;
    }
    if (contents.ok()) {
        QJsonArray list;
        for (const PanelRecord &row : c.panels)
            list.append(panelToJson(row));
        o["panels"] = list;
    }
    return o;
}

} // namespace kcftool

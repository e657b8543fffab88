#include "config_writer.h"

#include "core/cp1251.h"
#include "core/int_text.h"
#include "core/ip_text.h"

#include <algorithm>

namespace talvir {

std::optional<quint16> portValue(const QString &text, QString *error)
{
    const std::optional<qint32> v = strToInt(text, error);
    if (!v)
        return std::nullopt;
    return quint16(quint32(*v) & 0xFFFF);
}

std::optional<quint32> serialNumberValue(const QString &text, QString *error)
{
    if (const std::optional<qint32> v = strToInt(text))
        return quint32(*v);
    // A factory number read back from a transceiver is shown unsigned and may pass 2147483647;
    // it must be writable again.
    bool ok = false;
    const qulonglong v = text.toULongLong(&ok);
    const bool digitsOnly = !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (ok && digitsOnly && v <= 0xFFFFFFFFull)
        return quint32(v);
    if (error)
        *error = notAnIntegerMessage(text);
    return std::nullopt;
}

QString noFactoryNumberMessage() { return QStringLiteral("Не определен заводской номер"); }

namespace {

void storeIp(unsigned char *at, quint32 ip) { ipToOctets(ip, at); }

WriteRefusal notANumber(const QString &message) { return WriteRefusal{message, QString(), WriteRefusal::NotANumber}; }

} // namespace

std::optional<WriteRefusal> fillImage(ConfigImage &image, const TransceiverConfig &config, bool modeControl)
{
    namespace S = SettingsBlock;
    unsigned char *s = image.settings();
    s[S::Zero] = 0;
    s[S::Dhcp] = static_cast<unsigned char>(config.dhcp);

    if (config.factoryNumber.isEmpty())
        return WriteRefusal{noFactoryNumberMessage(), QStringLiteral("factoryNumberEdit")};
    QString error;
    const std::optional<quint32> factoryNumber = serialNumberValue(config.factoryNumber, &error);
    if (!factoryNumber)
        return notANumber(error);
    writeU32(s + S::FactoryNumber, *factoryNumber);

    if (config.serverPort.isEmpty())
        return WriteRefusal{QStringLiteral("Не определен IP - порт приемника"), QStringLiteral("serverPortEdit")};
    const std::optional<quint16> serverPort = portValue(config.serverPort, &error);
    if (!serverPort)
        return notANumber(error);
    writeU16(s + S::ServerPort, *serverPort);

    if (config.localPort.isEmpty())
        return WriteRefusal{QStringLiteral("Не определен локальный порт"), QStringLiteral("localPortEdit")};
    const std::optional<quint16> localPort = portValue(config.localPort, &error);
    if (!localPort)
        return notANumber(error);
    writeU16(s + S::LocalPort, *localPort);

    const std::optional<quint32> serverIp = ipFromText(config.serverIp, &error);
    if (!serverIp)
        return notANumber(error);
    if (*serverIp == 0)
        return WriteRefusal{QStringLiteral("Не определен IP - адрес приемника"), QStringLiteral("serverIpEdit")};
    storeIp(s + S::ServerIp, *serverIp);

    const std::optional<quint32> localIp = ipFromText(config.localIp, &error);
    if (!localIp)
        return notANumber(error);
    if (*localIp == 0)
        return WriteRefusal{QStringLiteral("Не определен локальный IP - адрес"), QStringLiteral("localIpEdit")};
    storeIp(s + S::LocalIp, *localIp);

    const std::optional<quint32> gatewayIp = ipFromText(config.gatewayIp, &error);
    if (!gatewayIp)
        return notANumber(error);
    if (*gatewayIp == 0)
        return WriteRefusal{QStringLiteral("Не определен  IP - адрес шлюза"), QStringLiteral("gatewayIpEdit")};
    storeIp(s + S::GatewayIp, *gatewayIp);

    if (config.apn.isEmpty())
        return WriteRefusal{QStringLiteral("Не определен APN GPRS - канала"), QStringLiteral("apnEdit")};
    toCp1251Field(config.apn, reinterpret_cast<char *>(s + S::Apn), S::ApnWidth);

    writeU16(s + S::Constant9999, 9999);
    toCp1251Field(config.baudText, reinterpret_cast<char *>(s + S::Baud), S::BaudWidth);
    writeU32(s + S::TestPeriod, quint32(config.testPeriod));
    s[S::ModeByte] = ModeByte::encode(config.protocol, config.conversion, config.mode, modeControl);
    for (int k = 0; k < kReserveServers; ++k)
        storeIp(s + S::Reserve + 4 * k, config.reserveIps[std::size_t(k)]);
    // S::Kept (94..96) is left alone: the transceiver's own values from the last read.

    // A table that outgrew the transceiver (rows appended from files) cannot be written: slot n+1
    // does not exist, and cutting rows off silently would lose panels.
    if (config.panels.size() > image.maxPanels())
        return WriteRefusal{QStringLiteral("Превышено максимально-допустимое число объектов"), QStringLiteral("panelTable")};

    image.clearPanelArea();
    for (int n = 1; n <= int(config.panels.size()); ++n)
        PanelSlot::encode(config.panels.at(n - 1), image.slot(n));
    return std::nullopt;
}

void buildSendList(const ConfigImage &image, SendList &list)
{
    list.clear();
    for (int address = 0; address < image.size(); ++address)
        list.queueWriteFrame(std::uint16_t(address), image.at(address));
}

std::optional<WriteRefusal> prepareWrite(ConfigImage &image, const TransceiverConfig &config, bool modeControl,
                                         SendList &list)
{
    list.clear();
    auto refusal = fillImage(image, config, modeControl);
    if (!refusal)
        buildSendList(image, list);
    return refusal;
}

} // namespace talvir

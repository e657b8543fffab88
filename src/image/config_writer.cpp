#include "config_writer.h"

#include "core/conversion_error.h"
#include "core/cp1251.h"
#include "core/ip_text.h"

#include <algorithm>

namespace talvir {

quint16 portValue(const QString &text)
{
    return quint16(quint32(strToInt(text)) & 0xFFFF);
}

quint32 serialNumberValue(const QString &text)
{
    try {
        return quint32(strToInt(text));
    } catch (const ConversionError &) {
        // A factory number read back from a transceiver is shown unsigned and may pass 2147483647;
        // it must be writable again.
        bool ok = false;
        const qulonglong v = text.toULongLong(&ok);
        const bool digitsOnly = !text.isEmpty()
            && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (ok && digitsOnly && v <= 0xFFFFFFFFull)
            return quint32(v);
        throw;
    }
}

namespace {

void storeIp(unsigned char *at, quint32 ip) { ipToOctets(ip, at); }

} // namespace

std::optional<WriteRefusal> fillImage(ConfigImage &image, const TransceiverConfig &config, bool modeControl)
{
    namespace S = SettingsBlock;
    unsigned char *s = image.settings();
    s[S::Zero] = 0;
    s[S::Dhcp] = static_cast<unsigned char>(config.dhcp);

    if (config.serialNo.isEmpty())
        return WriteRefusal{QStringLiteral("Не определен заводской номер"), QStringLiteral("factoryNumberEdit")};
    writeU32(s + S::SerialNo, serialNumberValue(config.serialNo));

    if (config.serverPort.isEmpty())
        return WriteRefusal{QStringLiteral("Не определен IP - порт приемника"), QStringLiteral("serverPortEdit")};
    writeU16(s + S::ServerPort, portValue(config.serverPort));

    if (config.localPort.isEmpty())
        return WriteRefusal{QStringLiteral("Не определен локальный порт"), QStringLiteral("localPortEdit")};
    writeU16(s + S::LocalPort, portValue(config.localPort));

    const quint32 serverIp = ipFromText(config.serverIp);
    if (serverIp == 0)
        return WriteRefusal{QStringLiteral("Не определен IP - адрес приемника"), QStringLiteral("serverIpEdit")};
    storeIp(s + S::ServerIp, serverIp);

    const quint32 localIp = ipFromText(config.localIp);
    if (localIp == 0)
        return WriteRefusal{QStringLiteral("Не определен локальный IP - адрес"), QStringLiteral("localIpEdit")};
    storeIp(s + S::LocalIp, localIp);

    const quint32 gatewayIp = ipFromText(config.gatewayIp);
    if (gatewayIp == 0)
        return WriteRefusal{QStringLiteral("Не определен  IP - адрес шлюза"), QStringLiteral("gatewayIpEdit")};
    storeIp(s + S::GatewayIp, gatewayIp);

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
        list.queueWriteFrame(false, std::uint16_t(address), kWriteCommand, image.at(address));
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

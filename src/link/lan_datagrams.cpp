#include "lan_datagrams.h"

namespace talvir {

namespace {
char at(const QByteArray &d, int i) { return d.at(i); }
QString dotted(const QByteArray &d, int offset)
{
    QString s;
    for (int i = 0; i < 4; ++i) {
        if (i)
            s += QLatin1Char('.');
        s += QString::number(static_cast<unsigned char>(d.at(offset + i)));
    }
    return s;
}
} // namespace

QByteArray writeBlock(int blockNumber, const QByteArray &data)
{
    QByteArray b("AT+FPD0=");
    b.append(char((data.size() >> 8) & 0xFF));
    b.append(char(data.size() & 0xFF));
    b.append(char(0));
    b.append(char(blockNumber & 0xFF));
    b.append(data);
    return b;
}

QByteArray objectWriteBlock(const QByteArray &image, int blockNumber)
{
    return writeBlock(blockNumber, image.mid((blockNumber - 1) * kObjectBlockData, kObjectBlockData));
}

QByteArray settingsWriteBlock(const QByteArray &settings) { return writeBlock(1, settings.left(kSettingsSize)); }

bool isOkAnswer(const QByteArray &d) { return d.size() == 2 && at(d, 0) == 'O' && at(d, 1) == 'K'; }
bool isReadyAnswer(const QByteArray &d) { return d.size() == 5 && at(d, 1) == 'E' && at(d, 4) == 'Y'; }
bool isGoodAnswer(const QByteArray &d) { return d.size() == 4 && at(d, 0) == 'G' && at(d, 3) == 'D'; }
bool isBadAnswer(const QByteArray &d) { return d.size() == 3 && at(d, 0) == 'B' && at(d, 2) == 'D'; }

bool isReadBlock(const QByteArray &d)
{
    const int n = int(d.size());
    return (n == kObjectBlockLength || n == kSettingsBlockLength || n == kShortSettingsLength) && at(d, 2) == '+' &&
           at(d, 5) == 'Y';
}

bool looksLikeEndMarker(const QByteArray &d) { return d.size() == 7 && at(d, 2) == '+' && at(d, 6) == 'E'; }

QString statusModeText(unsigned char modeByte)
{
    switch ((~modeByte) & 0x0F) {
    case 0: return QStringLiteral("S,Lan");
    case 1: return QStringLiteral("S,GSM_T");
    case 2: return QStringLiteral("S,GPRS");
    case 4: return QStringLiteral("S,GSM");
    case 8: return QStringLiteral("M,Lan");
    case 9: return QStringLiteral("M,GSM_T");
    case 10: return QStringLiteral("M,GPRS");
    case 12: return QStringLiteral("M,GSM");
    default: return QString();
    }
}

QString LanStatus::modeText() const { return statusModeText(modeByte); }

std::optional<LanStatus> parseStatus(const QByteArray &d)
{
    if (d.size() != kStatusLength)
        return std::nullopt;
    const auto u = [&d](int i) { return static_cast<unsigned char>(d.at(i)); };
    LanStatus s;
    s.factoryNumber = quint16(u(1) | (u(2) << 8));
    s.modeByte = u(3);
    s.signal = u(4);
    s.ip1 = dotted(d, 5);
    s.ip2 = dotted(d, 9);
    s.channelCode = u(13);
    return s;
}

QString statusCaptionSuffix(const LanStatus &s)
{
    return QStringLiteral("     № ") + QString::number(s.factoryNumber) + QStringLiteral(" IP: ") + s.ip1 +
           QStringLiteral("  ") + QStringLiteral("-") + QString::number(s.signal) + QStringLiteral("dbm  ") + s.ip2 +
           QStringLiteral("  ") + s.modeText();
}

LightColour statusLightColour(int channelCode)
{
    switch (channelCode) {
    case 1: return {0, 128, 0};
    case 3: return {255, 255, 255};
    case 4: return {255, 0, 255};
    case 5: return {0, 0, 255};
    default: return {255, 0, 0};
    }
}

} // namespace talvir

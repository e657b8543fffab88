#include "sim_options.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <algorithm>

namespace talvir {

namespace {

// Decimal, or hexadecimal with 0x.
bool parseNumber(const QString &text, qint64 min, qint64 max, qint64 *value)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok, 0);
    if (!ok || v < min || v > max)
        return false;
    *value = v;
    return true;
}

// Four dotted decimal numbers 0..255 and nothing else (QHostAddress also takes "1.2.3" and "0x7f.1").
bool parseIp(const QString &text, std::array<unsigned char, 4> *octets)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        const QString &p = parts[i];
        if (p.isEmpty() || p.size() > 3 || !std::all_of(p.begin(), p.end(), [](QChar c) { return c.isDigit(); }))
            return false;
        const int v = p.toInt();
        if (v > 255)
            return false;
        (*octets)[std::size_t(i)] = static_cast<unsigned char>(v);
    }
    return true;
}

} // namespace

bool parseSimOptions(const QStringList &arguments, SimOptions *o, QString *error)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "A transceiver in software: serves the configurator over a pseudo-terminal (or a serial port) "
        "and over UDP, with faults on demand. Runs until SIGINT or SIGTERM."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    auto opt = [](const QString &name, const QString &text, const QString &value = QString()) {
        return QCommandLineOption(name, text, value);
    };
    const auto variant = opt("variant", "600r (600 slots, default) or duziv (300 slots).", "600r|duziv");
    const auto image = opt("image", "Initial memory: a .kcf file or a raw image of the memory's size.", "FILE");
    const auto saveImage = opt("save-image", "Rewrite FILE with the raw memory after each complete write.", "FILE");
    const auto serialPty = opt("serial-pty", "Create a pseudo-terminal and make LINK a symbolic link to it.", "LINK");
    const auto serialDevice = opt("serial-device", "Serve a real serial port.", "PATH");
    const auto udp = opt("udp", "Bind UDP on ADDR (port 9999 unless --udp-port).", "ADDR");
    const auto udpPort = opt("udp-port", "UDP port to bind (0: any free one, printed at start).", "P");
    const auto nakEvery = opt("nak-every", "NAK every N-th write frame once, then accept its repeat.", "N");
    const auto replyByte = opt("reply-byte", "Answer frame AT (1-based) with BYTE instead; repeatable.", "AT:BYTE");
    const auto silentAfter = opt("silent-after", "Stop answering on serial after N frames.", "N");
    const auto dropEvery = opt("drop-every", "Ignore every N-th datagram received.", "N");
    const auto noReady = opt("no-ready", "Never answer AT+DATF.");
    const auto configResult = opt("config-result", "Answer to AT+CONFIG after a write: good (default) or bad.", "good|bad");
    const auto duplicate = opt("duplicate-blocks", "Send each object block of a read twice.");
    const auto shortSettings = opt("short-settings", "Send the 114-byte settings block in a read.");
    const auto blockGap = opt("block-gap-ms", "Pause before each read block.", "MS");
    const auto latency = opt("latency-ms", "Pause before every answer, serial and UDP.", "MS");
    const auto endAfterObject = opt("end-after-object", "End a read right after object block 0.");
    const auto endAfterBlock = opt("end-after-block", "End a read right after object block K.", "K");
    const auto noStatus = opt("no-status", "Send no status datagrams.");
    const auto statusInterval = opt("status-interval-ms", "Interval of the status datagram (default 1000).", "MS");
    const auto serialNo = opt("serial-no", "Status: serial number, 0..65535 (default 12345).", "N");
    const auto modeByte = opt("mode-byte", "Status: mode byte (default 0xFF, \"S,Lan\").", "B");
    const auto signal = opt("signal", "Status: signal level 0..255 (default 85, shown -85dbm).", "N");
    const auto ip1 = opt("ip1", "Status: first IP address (default 192.168.1.221).", "A.B.C.D");
    const auto ip2 = opt("ip2", "Status: second IP address (default 0.0.0.0).", "A.B.C.D");
    const auto channelCode = opt("channel-code", "Status: channel state code (default 1, green).", "C");
    const auto logPath = opt("log", "Append one line per frame or datagram to FILE.", "FILE");
    const auto verbose = QCommandLineOption({QStringLiteral("v"), QStringLiteral("verbose")},
                                            QStringLiteral("Log to standard error."));
    p.addOptions({help, variant, image, saveImage, serialPty, serialDevice, udp, udpPort, nakEvery, replyByte,
                  silentAfter, dropEvery, noReady, configResult, duplicate, shortSettings, blockGap, latency,
                  endAfterObject, endAfterBlock, noStatus, statusInterval, serialNo, modeByte, signal, ip1, ip2,
                  channelCode, logPath, verbose});

    if (!p.parse(arguments)) {
        *error = p.errorText();
        return false;
    }
    if (p.isSet(help)) {
        QTextStream(stdout) << p.helpText();
        o->helpShown = true;
        return true;
    }
    if (!p.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument: %1").arg(p.positionalArguments().first());
        return false;
    }

    SimSettings &s = o->settings;
    auto number = [&](const QCommandLineOption &option, qint64 min, qint64 max, auto *target) {
        if (!p.isSet(option))
            return true;
        qint64 v = 0;
        if (!parseNumber(p.value(option), min, max, &v)) {
            *error = QStringLiteral("--%1: \"%2\" is not a number from %3 to %4")
                         .arg(option.names().constFirst(), p.value(option))
                         .arg(min)
                         .arg(max);
            return false;
        }
        *target = static_cast<std::remove_pointer_t<decltype(target)>>(v);
        return true;
    };

    if (p.isSet(variant)) {
        const Variant *v = Variant::byName(p.value(variant));
        if (!v) {
            *error = QStringLiteral("--variant: \"%1\" is neither 600r nor duziv").arg(p.value(variant));
            return false;
        }
        s.variant = v->id;
    }
    o->imagePath = p.value(image);
    s.saveImagePath = p.value(saveImage);
    o->serialPty = p.value(serialPty);
    o->serialDevice = p.value(serialDevice);
    if (!o->serialPty.isEmpty() && !o->serialDevice.isEmpty()) {
        *error = QStringLiteral("--serial-pty and --serial-device exclude each other");
        return false;
    }
    if (p.isSet(udp)) {
        std::array<unsigned char, 4> a{};
        if (!parseIp(p.value(udp), &a)) {
            *error = QStringLiteral("--udp: \"%1\" is not an IPv4 address").arg(p.value(udp));
            return false;
        }
        o->udpAddress = QHostAddress(quint32(a[0]) << 24 | quint32(a[1]) << 16 | quint32(a[2]) << 8 | a[3]);
    }
    if (!number(udpPort, 0, 65535, &o->udpPort) || !number(nakEvery, 0, 1000000, &s.nakEvery)
        || !number(silentAfter, 0, 1000000000, &s.silentAfter) || !number(dropEvery, 0, 1000000, &s.dropEvery)
        || !number(blockGap, 0, 600000, &s.blockGapMs) || !number(latency, 0, 600000, &s.latencyMs)
        || !number(endAfterBlock, 0, 255, &s.endAfterObject)
        || !number(statusInterval, 1, 3600000, &s.statusIntervalMs)
        || !number(serialNo, 0, 65535, &s.statusSerialNo) || !number(modeByte, 0, 255, &s.statusModeByte)
        || !number(signal, 0, 255, &s.statusSignal) || !number(channelCode, 0, 255, &s.statusChannelCode))
        return false;
    if (p.isSet(endAfterObject)) {
        if (p.isSet(endAfterBlock)) {
            *error = QStringLiteral("--end-after-object and --end-after-block exclude each other");
            return false;
        }
        s.endAfterObject = 0;
    }
    for (const QString &given : p.values(replyByte)) {
        const QStringList parts = given.split(QLatin1Char(':'));
        qint64 at = 0;
        qint64 byte = 0;
        if (parts.size() != 2 || !parseNumber(parts[0], 1, 1000000000, &at) || !parseNumber(parts[1], 0, 255, &byte)) {
            *error = QStringLiteral("--reply-byte: \"%1\" is not AT:BYTE (a frame number from 1, a byte 0..255, "
                                    "e.g. 5:0x25)")
                         .arg(given);
            return false;
        }
        s.replyBytes.insert(int(at), static_cast<unsigned char>(byte));
    }
    s.noReady = p.isSet(noReady);
    s.duplicateBlocks = p.isSet(duplicate);
    s.shortSettings = p.isSet(shortSettings);
    s.statusEnabled = !p.isSet(noStatus);
    if (p.isSet(configResult)) {
        const QString r = p.value(configResult);
        if (r != QLatin1String("good") && r != QLatin1String("bad")) {
            *error = QStringLiteral("--config-result: \"%1\" is neither good nor bad").arg(r);
            return false;
        }
        s.configResultGood = r == QLatin1String("good");
    }
    if (p.isSet(ip1) && !parseIp(p.value(ip1), &s.statusIp1)) {
        *error = QStringLiteral("--ip1: \"%1\" is not an IPv4 address").arg(p.value(ip1));
        return false;
    }
    if (p.isSet(ip2) && !parseIp(p.value(ip2), &s.statusIp2)) {
        *error = QStringLiteral("--ip2: \"%1\" is not an IPv4 address").arg(p.value(ip2));
        return false;
    }
    o->logPath = p.value(logPath);
    o->verbose = p.isSet(verbose);

    if (o->serialPty.isEmpty() && o->serialDevice.isEmpty() && o->udpAddress.isNull()) {
        *error = QStringLiteral("nothing to serve: give --serial-pty LINK, --serial-device PATH or --udp ADDR "
                                "(--help lists every option)");
        return false;
    }
    return true;
}

} // namespace talvir

#include "sim_options.h"

#include "sim_units.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>
#include <functional>

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

// What an option acts on: the whole simulator, or each transceiver's serial end, LAN end or both (those
// can also be given to one transceiver with --fault).
enum class Scope { Process, Serial, Lan, Both };

// One command-line option: how --help shows it and what it does to the options when given. A
// repeatable option is applied once per value; a flag (no value name) gets an empty value.
struct OptionRow {
    QStringList names;
    QString help;
    QString valueName;
    std::function<bool(const QString &value, SimOptions &o, QString *error)> apply;
    Scope scope = Scope::Process;
    bool repeatable = false; // otherwise the last value given counts
};

using Apply = std::function<bool(const QString &, SimOptions &, QString *)>;

template <typename T>
Apply number(const QString &name, qint64 min, qint64 max, T SimSettings::*target)
{
    return [=](const QString &value, SimOptions &o, QString *error) {
        qint64 v = 0;
        if (!parseNumber(value, min, max, &v)) {
            *error = QStringLiteral("--%1: \"%2\" is not a number from %3 to %4").arg(name, value).arg(min).arg(max);
            return false;
        }
        o.settings.*target = static_cast<T>(v);
        return true;
    };
}

template <typename T>
Apply flag(T SimSettings::*target, T value)
{
    return [=](const QString &, SimOptions &o, QString *) {
        o.settings.*target = value;
        return true;
    };
}

Apply text(QString SimOptions::*target)
{
    return [=](const QString &value, SimOptions &o, QString *) {
        o.*target = value;
        return true;
    };
}

Apply statusIp(const QString &name, std::array<unsigned char, 4> SimSettings::*target)
{
    return [=](const QString &value, SimOptions &o, QString *error) {
        if (parseIp(value, &(o.settings.*target)))
            return true;
        *error = QStringLiteral("--%1: \"%2\" is not an IPv4 address").arg(name, value);
        return false;
    };
}

bool applyVariant(const QString &value, SimOptions &o, QString *error)
{
    const Variant *v = Variant::byName(value);
    if (!v) {
        *error = QStringLiteral("--variant: \"%1\" is neither 600r nor duziv").arg(value);
        return false;
    }
    o.settings.variant = v->id;
    return true;
}

bool parseIpNumber(const QString &text, quint32 *ip)
{
    std::array<unsigned char, 4> a{};
    if (!parseIp(text, &a))
        return false;
    *ip = quint32(a[0]) << 24 | quint32(a[1]) << 16 | quint32(a[2]) << 8 | a[3];
    return true;
}

// One address, or a range FIRST-LAST of them; each one transceiver.
bool applyUdp(const QString &value, SimOptions &o, QString *error)
{
    const QStringList ends = value.split(QLatin1Char('-'));
    quint32 first = 0;
    quint32 last = 0;
    if (ends.size() > 2 || !parseIpNumber(ends.first(), &first) || !parseIpNumber(ends.last(), &last)) {
        *error = QStringLiteral("--udp: \"%1\" is neither an IPv4 address nor a range of them "
                                "(e.g. 127.0.0.2-127.0.0.61)")
                     .arg(value);
        return false;
    }
    if (last < first) {
        *error = QStringLiteral("--udp: the range \"%1\" ends before it starts").arg(value);
        return false;
    }
    if (last - first >= quint32(kMaxSimUnits) || o.udpAddresses.size() + qsizetype(last - first) >= kMaxSimUnits) {
        *error = QStringLiteral("--udp: \"%1\" makes more than %2 transceivers").arg(value).arg(kMaxSimUnits);
        return false;
    }
    for (quint32 ip = first;; ++ip) {
        const QHostAddress address(ip);
        if (o.udpAddresses.contains(address)) {
            *error = QStringLiteral("--udp: %1 is given twice").arg(address.toString());
            return false;
        }
        o.udpAddresses.append(address);
        if (ip == last)
            break;
    }
    return true;
}

bool applySerialPty(const QString &value, SimOptions &o, QString *error)
{
    if (value.isEmpty() || o.serialPtys.contains(value)) {
        *error = value.isEmpty() ? QStringLiteral("--serial-pty: the link needs a name")
                                 : QStringLiteral("--serial-pty: %1 is given twice").arg(value);
        return false;
    }
    o.serialPtys.append(value);
    return true;
}

bool applyUdpPort(const QString &value, SimOptions &o, QString *error)
{
    qint64 v = 0;
    if (!parseNumber(value, 0, 65535, &v)) {
        *error = QStringLiteral("--udp-port: \"%1\" is not a number from 0 to 65535").arg(value);
        return false;
    }
    o.udpPort = quint16(v);
    return true;
}

bool applyReplyByte(const QString &given, SimOptions &o, QString *error)
{
    const QStringList parts = given.split(QLatin1Char(':'));
    qint64 at = 0;
    qint64 byte = 0;
    if (parts.size() != 2 || !parseNumber(parts[0], 1, 1000000000, &at) || !parseNumber(parts[1], 0, 255, &byte)) {
        *error = QStringLiteral("--reply-byte: \"%1\" is not AT:BYTE (a frame number from 1, a byte 0..255, "
                                "e.g. 5:0x25)")
                     .arg(given);
        return false;
    }
    o.settings.replyBytes.insert(int(at), static_cast<unsigned char>(byte));
    return true;
}

bool applyLateAnswer(const QString &given, SimOptions &o, QString *error)
{
    const QStringList parts = given.split(QLatin1Char(':'));
    qint64 block = 0;
    qint64 ms = 0;
    if (parts.size() != 2 || !parseNumber(parts[0], 1, 255, &block) || !parseNumber(parts[1], 0, 600000, &ms)) {
        *error = QStringLiteral("--late-answer: \"%1\" is not B:MS (an object block from 1, a delay in ms, "
                                "e.g. 7:5100)")
                     .arg(given);
        return false;
    }
    o.settings.lateWriteBlock = int(block);
    o.settings.lateAnswerMs = int(ms);
    return true;
}

bool applyConfigResult(const QString &value, SimOptions &o, QString *error)
{
    if (value != QLatin1String("good") && value != QLatin1String("bad")) {
        *error = QStringLiteral("--config-result: \"%1\" is neither good nor bad").arg(value);
        return false;
    }
    o.settings.configResultGood = value == QLatin1String("good");
    return true;
}

bool setVerbose(const QString &, SimOptions &o, QString *)
{
    o.verbose = true;
    return true;
}

bool addFault(const QString &value, SimOptions &o, QString *)
{
    o.faults.append(value);
    return true;
}

const QList<OptionRow> &optionTable()
{
    using S = SimSettings;
    constexpr Scope serial = Scope::Serial;
    constexpr Scope lan = Scope::Lan;
    constexpr Scope both = Scope::Both;
    static const QList<OptionRow> rows = {
        {{"variant"}, "600r (600 slots, default) or duziv (300 slots).", "600r|duziv", applyVariant},
        {{"image"}, "Initial memory: a .kcf file or a raw image of the memory's size ({addr}, {link}, {serial} "
                    "name each transceiver's own).", "FILE", text(&SimOptions::imagePath)},
        {{"save-image"}, "Rewrite FILE with the raw memory after each complete write ({addr}, {link}, {serial} "
                         "name each transceiver's own).", "FILE",
         [](const QString &v, SimOptions &o, QString *) { o.settings.saveImagePath = v; return true; }},
        {{"serial-pty"}, "Create a pseudo-terminal and make LINK a symbolic link to it; repeatable.", "LINK",
         applySerialPty, Scope::Process, true},
        {{"serial-device"}, "Serve a real serial port.", "PATH", text(&SimOptions::serialDevice)},
        {{"udp"}, "Bind UDP on ADDR or on each address of a range FIRST-LAST (port 9999 unless --udp-port); "
                  "repeatable.", "ADDR", applyUdp, Scope::Process, true},
        {{"udp-port"}, "UDP port to bind (0: any free one, printed at start).", "P", applyUdpPort},
        {{"fault"}, "Give one transceiver an option of its own: its --udp address or --serial-pty link, ':', "
                    "the option's name, and =VALUE unless it is a flag (e.g. 127.0.0.7:lose-block=5); repeatable.",
         "TARGET:NAME[=VALUE]", addFault, Scope::Process, true},
        {{"nak-every"}, "NAK every N-th write frame once, then accept its repeat.", "N", number("nak-every", 0, 1000000, &S::nakEvery),
         serial},
        {{"reply-byte"}, "Answer frame AT (1-based) with BYTE instead; repeatable.", "AT:BYTE", applyReplyByte, serial, true},
        {{"stray-after-ident"}, "Answer identification frame N (from 1) with 01 FF.", "N",
         number("stray-after-ident", 1, 1000000000, &S::strayAfterIdent), serial},
        {{"silent-after"}, "Stop answering on serial after N frames.", "N", number("silent-after", 0, 1000000000, &S::silentAfter),
         serial},
        {{"serial-baud-pace"}, "Answer on serial no faster than a line of BAUD carries each frame and its answer "
                               "(10 bits a byte; 115200: 0.61 ms an exchange).", "BAUD",
         number("serial-baud-pace", 0, 4000000, &S::serialBaudPace), serial},
        {{"drop-every"}, "Ignore every N-th datagram received.", "N", number("drop-every", 0, 1000000, &S::dropEvery), lan},
        {{"lose-block"}, "Ignore the first copy of write object block B.", "B", number("lose-block", 1, 255, &S::loseWriteBlock), lan},
        {{"late-answer"}, "Answer the first copy of write object block B MS late.", "B:MS", applyLateAnswer, lan},
        {{"block-answer-ms"}, "Answer each write block MS after it came (the transceiver storing it).", "MS",
         number("block-answer-ms", 0, 600000, &S::blockAnswerMs), lan},
        {{"no-ready"}, "Never answer AT+DATF.", "", flag(&S::noReady, true), lan},
        {{"config-result"}, "Answer to AT+CONFIG after a write: good (default) or bad.", "good|bad", applyConfigResult, lan},
        {{"duplicate-blocks"}, "Send each object block of a read twice.", "", flag(&S::duplicateBlocks, true), lan},
        {{"short-settings"}, "Send the 114-byte settings block in a read.", "", flag(&S::shortSettings, true), lan},
        {{"skip-read-block"}, "Never send object block K in a read.", "K", number("skip-read-block", 0, 255, &S::skipReadBlock), lan},
        {{"status-in-read"}, "Send one status datagram right after read block K (N/5: the settings block).", "K",
         number("status-in-read", 0, 255, &S::statusInRead), lan},
        {{"block-gap-ms"}, "Pause before each read block.", "MS", number("block-gap-ms", 0, 600000, &S::blockGapMs), lan},
        {{"latency-ms"}, "Pause before every answer, serial and UDP.", "MS", number("latency-ms", 0, 600000, &S::latencyMs), both},
        {{"end-after-object"}, "End a read right after object block 0.", "", flag(&S::endAfterObject, 0), lan},
        {{"end-after-block"}, "End a read right after object block K.", "K", number("end-after-block", 0, 255, &S::endAfterObject), lan},
        {{"drop-stored-byte"}, "The byte at ADDR keeps its old value whatever a write sends (acknowledged all the same).",
         "ADDR", number("drop-stored-byte", 0, 65535, &S::dropStoredByte), both},
        {{"no-status"}, "Send no status datagrams.", "", flag(&S::statusEnabled, false), lan},
        {{"status-interval-ms"}, "Interval of the status datagram (default 1000).", "MS",
         number("status-interval-ms", 1, 3600000, &S::statusIntervalMs), lan},
        {{"serial-no"}, "Status: factory number 0..65535 (default 12345); each further transceiver takes the next.", "N",
         number("serial-no", 0, 65535, &S::statusFactoryNumber)},
        {{"mode-byte"}, "Status: mode byte (default 0xFF, \"S,Lan\").", "B", number("mode-byte", 0, 255, &S::statusModeByte), lan},
        {{"signal"}, "Status: signal level 0..255 (default 85, shown -85dbm).", "N", number("signal", 0, 255, &S::statusSignal), lan},
        {{"ip1"}, "Status: first IP address (default 192.168.1.221).", "A.B.C.D", statusIp("ip1", &S::statusIp1), lan},
        {{"ip2"}, "Status: second IP address (default 0.0.0.0).", "A.B.C.D", statusIp("ip2", &S::statusIp2), lan},
        {{"channel-code"}, "Status: channel state code (default 1, green).", "C", number("channel-code", 0, 255, &S::statusChannelCode),
         lan},
        {{"log"}, "Append one line per frame or datagram to FILE.", "FILE", text(&SimOptions::logPath)},
        {{"v", "verbose"}, "Log to standard error.", "", setVerbose},
    };
    return rows;
}

// The checks between options, once each option has taken its value.
bool checkCombination(const QCommandLineParser &p, const SimOptions &o, QString *error)
{
    if (!o.serialPtys.isEmpty() && !o.serialDevice.isEmpty()) {
        *error = QStringLiteral("--serial-pty and --serial-device exclude each other");
        return false;
    }
    if (p.isSet(QStringLiteral("end-after-object")) && p.isSet(QStringLiteral("end-after-block"))) {
        *error = QStringLiteral("--end-after-object and --end-after-block exclude each other");
        return false;
    }
    if (o.serialPtys.isEmpty() && o.serialDevice.isEmpty() && o.udpAddresses.isEmpty()) {
        *error = QStringLiteral("nothing to serve: give --serial-pty LINK, --serial-device PATH or --udp ADDR "
                                "(--help lists every option)");
        return false;
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
    p.addOption(help);
    // Not addVersionOption(): its -v is --verbose here.
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    p.addOption(version);
    for (const OptionRow &row : optionTable())
        p.addOption(QCommandLineOption(row.names, row.help, row.valueName));

    if (!p.parse(arguments)) {
        *error = p.errorText();
        return false;
    }
    if (p.isSet(help)) {
        QTextStream(stdout) << p.helpText();
        o->helpShown = true;
        return true;
    }
    if (p.isSet(version)) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
                            << Qt::endl;
        o->helpShown = true;
        return true;
    }
    if (!p.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument: %1").arg(p.positionalArguments().first());
        return false;
    }
    for (const OptionRow &row : optionTable()) {
        const QString &name = row.names.constLast();
        if (!p.isSet(name))
            continue;
        const QStringList values = row.valueName.isEmpty() ? QStringList{QString()}
                                   : row.repeatable          ? p.values(name)
                                                             : QStringList{p.value(name)};
        for (const QString &value : values) {
            if (!row.apply(value, *o, error))
                return false;
        }
    }
    return checkCombination(p, *o, error) && resolveSimUnits(*o, error);
}

bool applyUnitOption(const QString &nameAndValue, SimUnit &unit, QString *error)
{
    const qsizetype eq = nameAndValue.indexOf(QLatin1Char('='));
    const QString name = nameAndValue.left(eq);
    const auto &rows = optionTable();
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const OptionRow &r) { return r.names.contains(name); });
    if (row == rows.end()) {
        *error = name.isEmpty() ? QStringLiteral("no option named after the ':'")
                                : QStringLiteral("there is no option %1").arg(name);
        return false;
    }
    const bool servesLan = !unit.udpAddress.isNull();
    const bool servesSerial = !unit.serialPty.isEmpty() || !unit.serialDevice.isEmpty();
    switch (row->scope) {
    case Scope::Process:
        *error = QStringLiteral("--%1 is set for the whole simulator, not for one transceiver").arg(name);
        return false;
    case Scope::Lan:
        if (!servesLan) {
            *error = QStringLiteral("--%1 acts on the LAN end, and this transceiver has none").arg(name);
            return false;
        }
        break;
    case Scope::Serial:
        if (!servesSerial) {
            *error = QStringLiteral("--%1 acts on the serial end, and this transceiver has none").arg(name);
            return false;
        }
        break;
    case Scope::Both: break;
    }
    if (row->valueName.isEmpty() != (eq < 0)) {
        *error = row->valueName.isEmpty() ? QStringLiteral("--%1 takes no value").arg(name)
                                          : QStringLiteral("--%1 needs a value: %1=%2").arg(name, row->valueName);
        return false;
    }
    SimOptions own;
    own.settings = unit.settings;
    if (!row->apply(eq < 0 ? QString() : nameAndValue.mid(eq + 1), own, error))
        return false;
    unit.settings = own.settings;
    return true;
}

} // namespace talvir

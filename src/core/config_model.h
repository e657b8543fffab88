// The configuration of one transceiver as the technician edits it: the settings as the controls hold
// them (texts where the control is a text box), the reserve servers and the panel rows.
#pragma once

#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace talvir {

struct Variant;

// One row of the panel table.
struct PanelRecord {
    QString obj;                  // object number, 4 characters
    QString account;              // panel number, 4 characters
    qint16 typeId = 0;            // key of the panel-type table
    QString typeName;             // type name as the type list shows it, at most 20 characters
    QString phone1;               // phone 1, at most 13 characters
    QString phone2;               // phone 2, at most 13 characters
    qint16 alarmFlag = 0;         // carried from the transceiver, a file or the import; never written
    qint32 testWait = 0;          // minutes
    qint16 format = 0;            // carried; never written
    qint16 protocolCode = 0;      // protocol code, derived from typeId when a row is posted
    std::optional<qint32> slot;   // slot as last read or loaded; empty for a row typed by hand

    bool operator==(const PanelRecord &) const = default;
};

constexpr int kReserveServers = 80;

struct TransceiverConfig {
    QString factoryNumber;       // factoryNumberEdit: at most 5 digits; empty = not defined
    QString baudText = QStringLiteral("9600");
    int testPeriod = 10;         // seconds, 1..3600
    QString apn;
    QString serverIp = QStringLiteral("192.168.1.3");
    QString serverPort = QStringLiteral("9999");
    int dhcp = 0;
    QString localIp;
    QString localPort;
    QString gatewayIp;
    int protocol = 0;            // item index of protocolGroup
    int conversion = 0;          // item index of conversionGroup, -1 = none selected
    int mode = 0;                // item index of consoleKindGroup, -1 = none selected
    std::array<quint32, kReserveServers> reserveIps{}; // 0 = empty entry; filled ones first
    QList<PanelRecord> panels;

    // The values at start of the main window. MXR_duziv starts its type switch with no choice in
    // console mode.
    static TransceiverConfig defaults(const Variant &variant, bool consoleMode);

    bool operator==(const TransceiverConfig &) const = default;
};

// The order the panel table shows: by Obj, case-insensitive, equal numbers keeping their order.
void sortRowsAsTable(QList<PanelRecord> &rows);

} // namespace talvir

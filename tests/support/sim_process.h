// What every caller of the transceiver-sim program needs: its start lines read back ("serial LINK ->
// DEV", "udp ADDR:PORT") and the process stopped as a technician's Ctrl+C would.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>

namespace testsupport {

// The ends transceiver-sim announced on its standard output when it came up.
struct SimEnds {
    QString serialDevice;
    QString udpAddress;
    quint16 udpPort = 0;
};

inline SimEnds parseSimStartLines(const QByteArray &out)
{
    SimEnds ends;
    const QString text = QString::fromUtf8(out);
    const auto serial = QRegularExpression(QStringLiteral("^serial \\S+ -> (\\S+)$"),
                                           QRegularExpression::MultilineOption).match(text);
    if (serial.hasMatch())
        ends.serialDevice = serial.captured(1);
    const auto udp = QRegularExpression(QStringLiteral("^udp ([0-9.]+):(\\d+)$"),
                                        QRegularExpression::MultilineOption).match(text);
    if (udp.hasMatch()) {
        ends.udpAddress = udp.captured(1);
        ends.udpPort = quint16(udp.captured(2).toUInt());
    }
    return ends;
}

// SIGTERM, then SIGKILL if it does not end within three seconds.
inline void stopProcess(QProcess &p, int reapMs)
{
    if (p.state() == QProcess::NotRunning)
        return;
    p.terminate();
    if (!p.waitForFinished(3000))
        p.kill();
    p.waitForFinished(reapMs);
}

} // namespace testsupport

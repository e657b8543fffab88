// The programs as the technician runs them: kcftool and transceiver-sim started as processes, the sim
// serving a real pseudo-terminal and loopback UDP. Configuration files and images are built here from
// the file format written out literally, so a change to it on either side shows.
#pragma once

#include "support/child_process.h"
#include "support/sim_process.h"
#include "support/wait_util.h"
#include "files/config_file.h"
#include "link/frames.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace kcfrig {

inline const QString kKcftool = QStringLiteral(KCFTOOL_PATH);
inline const QString kSim = QStringLiteral(TRANSCEIVER_SIM_PATH);

struct Run {
    int code = -1; // -1: did not finish in time; -2: crashed
    QByteArray out;
    QString err;
};

inline Run kcftool(const QStringList &args, int timeoutMs = 30000)
{
    QProcess p;
    testsupport::setSanitizerExitCode(p);
    p.start(kKcftool, args);
    Run r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(2000);
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// kcftool's end of the UDP link in every test: loopback, any free port.
inline QStringList lanTo(const QString &host, quint16 port)
{
    return {QStringLiteral("--lan"), host, QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
            QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--remote-port"), QString::number(port)};
}

// transceiver-sim as a process; stopped with SIGTERM when the test ends.
class Sim {
public:
    ~Sim() { testsupport::stopProcess(p_, 2000); }
    // Starts it and waits for its start lines; false with the reason in *error.
    bool start(const QStringList &args, QString *error)
    {
        testsupport::setSanitizerExitCode(p_);
        p_.start(kSim, args);
        if (!p_.waitForStarted(5000)) {
            *error = p_.errorString();
            return false;
        }
        QByteArray out;
        while (!out.contains("variant")) {
            if (!p_.waitForReadyRead(5000)) {
                *error = QStringLiteral("no start lines: ") + QString::fromUtf8(out + p_.readAllStandardError());
                return false;
            }
            out += p_.readAllStandardOutput();
        }
        const testsupport::SimEnds ends = testsupport::parseSimStartLines(out);
        host_ = ends.udpAddress;
        port_ = ends.udpPort;
        device_ = ends.serialDevice;
        return true;
    }
    QStringList lan() const { return lanTo(host_, port_); }
    QString device() const { return device_; }
    QString host() const { return host_; }
    quint16 port() const { return port_; }

private:
    QProcess p_;
    QString host_;
    quint16 port_ = 0;
    QString device_;
};

using testsupport::randomImage;
using testsupport::readFile;

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A configuration file holding image: "TransP", the fixed record, then one write frame per byte in
// address order, as the configurator saves; or first the even addresses, then the odd ones (the last
// address, which is odd, stays the last record).
inline QByteArray kcfOf(const QByteArray &image, bool evenFirst = false)
{
    talvir::SendList list;
    const int size = int(image.size());
    for (int pass = evenFirst ? 0 : 1; pass < 2; ++pass) {
        for (int a = 0; a < size; ++a) {
            if (evenFirst && a % 2 != pass)
                continue;
            list.queueWriteFrame(std::uint16_t(a), static_cast<unsigned char>(image.at(a)));
        }
    }
    return talvir::configFileBytes(list);
}

// The memory a file's frames set: records of 6 bytes, two header records, address in bytes 1-2 (low
// byte first), data in byte 3.
inline QByteArray imageOf(const QByteArray &file, int size)
{
    QByteArray image(size, '\0');
    for (qsizetype r = 12; r + 6 <= file.size(); r += 6) {
        const int address = static_cast<unsigned char>(file.at(r + 1)) | static_cast<unsigned char>(file.at(r + 2)) << 8;
        if (address < size)
            image[address] = file.at(r + 3);
    }
    return image;
}

// Settings offset 14 (the factory number), little-endian, into an image whose settings start at base.
inline void putSerialNumber(QByteArray &image, int base, quint32 number)
{
    for (int k = 0; k < 4; ++k)
        image[base + 14 + k] = char((number >> (8 * k)) & 0xFF);
}

} // namespace kcfrig

// A transceiver in software: its configuration memory, its serial end (a pseudo-terminal or a real
// port) and its LAN end (UDP), with the faults of SimSettings on demand. The configurator is tested
// against it; transceiver-sim wraps it in a program.
#pragma once

#include "delay_queue.h"
#include "lan_responder.h"
#include "line_pacer.h"
#include "serial_endpoint.h"
#include "serial_responder.h"
#include "sim_memory.h"
#include "sim_settings.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>

class QUdpSocket;
class QTimer;

namespace talvir {

class TransceiverSim : public QObject {
    Q_OBJECT
public:
    // The variant of settings fixes the memory size for the life of the object; the faults may be
    // changed through settings() while it runs.
    explicit TransceiverSim(const SimSettings &settings = SimSettings(), QObject *parent = nullptr);
    ~TransceiverSim() override;

    SimSettings &settings() { return settings_; }
    const Variant &variant() const { return settings_.variantInfo(); }
    SimMemory &memory() { return memory_; }
    const SimMemory &memory() const { return memory_; }
    const SimCounters &counters() const { return counters_; }
    // Names this transceiver in its log lines when one process serves several; empty: not named.
    void setName(const QString &name) { name_ = name; }
    QString name() const { return name_; }

    // A ".kcf" file or a raw image; see SimMemory::load.
    bool loadImage(const QString &path, QString *error, QString *warning = nullptr);

    // Serial end. startSerialPty makes link point at the slave of a new pseudo-terminal.
    bool startSerialPty(const QString &link, QString *error);
    bool startSerialDevice(const QString &path, QString *error);
    // Pulls the cable: the configurator's port sees the line gone; the link is removed.
    void closeSerial();
    bool serialOpen() const { return serial_->isOpen(); }
    QString serialDevicePath() const { return serial_->devicePath(); }
    QString serialLinkPath() const { return serial_->linkPath(); }

    // LAN end: binds address:port (0 = any free port) with address sharing, beside a configurator
    // bound to all addresses on the same port.
    bool startUdp(const QHostAddress &address, quint16 port, QString *error);
    void stopUdp();
    bool udpOpen() const { return udp_ != nullptr; }
    QHostAddress udpAddress() const;
    quint16 udpPort() const;

signals:
    void frameReceived(const QByteArray &frame, int reply); // reply -1: not answered
    void serialWriteComplete();                             // the last address was written
    void datagramReceived(const QByteArray &datagram);
    void lanWriteConfirmed();                               // "GOOD" sent, memory updated
    void lanWriteRejected();                                // "BAD" sent, memory unchanged
    void readFinished();                                    // the end marker of a read went out
    void imageSaved(const QString &path);
    void saveFailed(const QString &message);
    void logLine(const QString &line);

private:
    void onSerialBytes(const QByteArray &bytes);
    void flushIdentRun();
    void onDatagrams();
    void sendStatus();
    void saveImage();
    void sendDatagram(const QByteArray &bytes, const QString &meaning, const QHostAddress &to, quint16 port);
    bool logging() const;
    void log(const QString &channel, const QString &direction, const QByteArray &bytes, const QString &meaning);

    SimSettings settings_;
    SimMemory memory_;
    SimCounters counters_;
    QString name_;
    SerialResponder serialLogic_;
    LanResponder lanLogic_;
    SerialEndpoint *serial_;
    DelayQueue *serialOut_;
    LinePacer serialPace_;
    QElapsedTimer clock_; // the serial line's time for the pacer
    DelayQueue *lanOut_;
    QUdpSocket *udp_ = nullptr;
    QTimer *statusTimer_;
    QHostAddress peer_;
    quint16 peerPort_ = 0;
    int readSendsQueued_ = 0; // read blocks still waiting for their delay
    int identRun_ = 0;        // keep-alive exchanges in a row; all but the first are counted, not logged
};

} // namespace talvir

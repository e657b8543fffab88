#include "transceiver_sim.h"

#include "link/frames.h"

#include <QDateTime>
#include <QMetaMethod>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

namespace talvir {

namespace {

QString hexDump(const QByteArray &bytes)
{
    constexpr int kShown = 12;
    if (bytes.size() <= 16)
        return QString::fromLatin1(bytes.toHex(' ')).toUpper();
    return QString::fromLatin1(bytes.left(kShown).toHex(' ')).toUpper()
           + QStringLiteral(" ... (%1 bytes)").arg(bytes.size());
}

QString replyName(int b)
{
    switch (b) {
    case kReplyAck: return QStringLiteral("ACK");
    case kReplyNak: return QStringLiteral("NAK");
    case kReplyTypeRejected: return QStringLiteral("panel type rejected");
    case kReplyStoreFailed: return QStringLiteral("store failed");
    default: return QStringLiteral("reply byte");
    }
}

} // namespace

TransceiverSim::TransceiverSim(const SimSettings &settings, QObject *parent)
    : QObject(parent),
      settings_(settings),
      memory_(settings.variantInfo().imageSize()),
      serialLogic_(memory_, settings_, counters_),
      lanLogic_(memory_, settings_, counters_),
      serial_(new SerialEndpoint(this)),
      serialOut_(new DelayQueue(this)),
      lanOut_(new DelayQueue(this)),
      statusTimer_(new QTimer(this))
{
    connect(serial_, &SerialEndpoint::bytesReceived, this, &TransceiverSim::onSerialBytes);
    connect(serial_, &SerialEndpoint::note, this,
            [this](const QString &text) { log(QStringLiteral("serial"), QStringLiteral("!!"), {}, text); });
    connect(statusTimer_, &QTimer::timeout, this, &TransceiverSim::sendStatus);
    clock_.start();
    auto *keepAliveLog = new QTimer(this);
    keepAliveLog->start(1000);
    connect(keepAliveLog, &QTimer::timeout, this, &TransceiverSim::flushIdentRun);
}

TransceiverSim::~TransceiverSim()
{
    serialOut_->clear();
    lanOut_->clear();
    serial_->close();
}

bool TransceiverSim::loadImage(const QString &path, QString *error, QString *warning)
{
    return memory_.load(path, error, warning);
}

bool TransceiverSim::startSerialPty(const QString &link, QString *error)
{
    serialOut_->clear();
    serialLogic_.reset();
    serialPace_.reset();
    if (!serial_->openPty(link, error))
        return false;
    log(QStringLiteral("serial"), QStringLiteral("=="), {},
        QStringLiteral("serving %1 -> %2").arg(serial_->linkPath(), serial_->devicePath()));
    return true;
}

bool TransceiverSim::startSerialDevice(const QString &path, QString *error)
{
    serialOut_->clear();
    serialLogic_.reset();
    serialPace_.reset();
    if (!serial_->openDevice(path, error))
        return false;
    log(QStringLiteral("serial"), QStringLiteral("=="), {}, QStringLiteral("serving %1").arg(path));
    return true;
}

void TransceiverSim::closeSerial()
{
    if (!serial_->isOpen())
        return;
    serialOut_->clear();
    serialLogic_.reset();
    serialPace_.reset();
    serial_->close();
    flushIdentRun();
    log(QStringLiteral("serial"), QStringLiteral("=="), {}, QStringLiteral("line closed"));
}

bool TransceiverSim::startUdp(const QHostAddress &address, quint16 port, QString *error)
{
    stopUdp();
    auto *sock = new QUdpSocket(this);
    if (!sock->bind(address, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        *error = QStringLiteral("cannot bind UDP %1:%2: %3").arg(address.toString()).arg(port).arg(sock->errorString());
        delete sock;
        return false;
    }
    udp_ = sock;
    connect(udp_, &QUdpSocket::readyRead, this, &TransceiverSim::onDatagrams);
    if (variant().hasStatusLight) {
        statusTimer_->setInterval(std::max(1, settings_.statusIntervalMs));
        statusTimer_->start();
    }
    log(QStringLiteral("udp"), QStringLiteral("=="), {},
        QStringLiteral("bound %1:%2, factory number %3")
            .arg(udpAddress().toString())
            .arg(udpPort())
            .arg(settings_.statusFactoryNumber));
    return true;
}

void TransceiverSim::stopUdp()
{
    statusTimer_->stop();
    lanOut_->clear();
    readSendsQueued_ = 0;
    delete udp_;
    udp_ = nullptr;
}

QHostAddress TransceiverSim::udpAddress() const
{
    return udp_ ? udp_->localAddress() : QHostAddress();
}

quint16 TransceiverSim::udpPort() const
{
    return udp_ ? udp_->localPort() : 0;
}

void TransceiverSim::onSerialBytes(const QByteArray &bytes)
{
    const QList<SerialEvent> events = serialLogic_.feed(bytes);
    for (const SerialEvent &e : events) {
        // The configurator answers every acknowledgement with a new identification frame, so an idle
        // link is a stream of ident/ACK pairs: the log shows the first and then a count per second.
        const bool keepAlive = e.kind == SerialEvent::Kind::Ident && e.reply == kReplyAck
                               && !settings_.replyBytes.contains(e.number) && !e.stray;
        const bool quiet = keepAlive && identRun_ > 0;
        if (keepAlive)
            ++identRun_;
        else
            flushIdentRun();
        if (!quiet)
            log(QStringLiteral("serial"), QStringLiteral("<-"), e.bytes, e.meaning);
        QByteArray reply;
        if (e.reply >= 0) {
            reply.append(char(e.reply));
            if (e.stray)
                reply.append(char(0xFF));
        }
        // The line carries what came in and the answer, skipped noise and unanswered frames included.
        serialPace_.setBaud(settings_.serialBaudPace);
        const int paceMs = serialPace_.delayMs(clock_.nsecsElapsed() / 1000, int(e.bytes.size() + reply.size()));
        if (e.kind == SerialEvent::Kind::Garbage)
            continue;
        emit frameReceived(e.bytes, e.reply);
        if (!reply.isEmpty()) {
            serialOut_->post(settings_.latencyMs + paceMs, [this, reply, quiet] {
                if (!quiet)
                    log(QStringLiteral("serial"), QStringLiteral("->"), reply,
                        replyName(static_cast<unsigned char>(reply.at(0)))
                            + (reply.size() > 1 ? QStringLiteral(" + noise byte (fault)") : QString()));
                serial_->write(reply);
            });
        }
        if (e.lastAddress) {
            ++counters_.serialWritesComplete;
            log(QStringLiteral("serial"), QStringLiteral("=="), {}, QStringLiteral("last address written"));
            saveImage();
            emit serialWriteComplete();
        }
    }
}

void TransceiverSim::flushIdentRun()
{
    if (identRun_ > 1)
        log(QStringLiteral("serial"), QStringLiteral("=="), {},
            QStringLiteral("%1 more ident/ACK exchanges (keep-alive)").arg(identRun_ - 1));
    identRun_ = 0;
}

void TransceiverSim::onDatagrams()
{
    while (udp_ && udp_->hasPendingDatagrams()) {
        const QNetworkDatagram dg = udp_->receiveDatagram();
        if (!dg.isValid())
            break;
        const QHostAddress from = dg.senderAddress();
        const quint16 fromPort = quint16(dg.senderPort());
        const QByteArray data = dg.data();
        peer_ = from;
        peerPort_ = fromPort;
        emit datagramReceived(data);

        const LanResult r = lanLogic_.onDatagram(data);
        log(QStringLiteral("udp"), QStringLiteral("<- %1:%2").arg(from.toString()).arg(fromPort), data, r.meaning);
        for (qsizetype i = 0; i < r.out.size(); ++i) {
            const LanOut out = r.out.at(i);
            const int delay = settings_.latencyMs + (out.readBlock ? settings_.blockGapMs : 0) + out.extraDelayMs;
            if (out.readBlock)
                ++readSendsQueued_;
            const bool finishes = r.readFinished && i == r.out.size() - 1;
            lanOut_->post(delay, [this, out, from, fromPort, finishes] {
                if (out.readBlock)
                    --readSendsQueued_;
                sendDatagram(out.bytes, out.meaning, from, fromPort);
                if (finishes)
                    emit readFinished();
            });
        }
        if (r.writeConfirmed) {
            saveImage();
            emit lanWriteConfirmed();
        }
        if (r.writeRejected)
            emit lanWriteRejected();
    }
}

void TransceiverSim::sendDatagram(const QByteArray &bytes, const QString &meaning, const QHostAddress &to,
                                  quint16 port)
{
    if (!udp_)
        return;
    log(QStringLiteral("udp"), QStringLiteral("-> %1:%2").arg(to.toString()).arg(port), bytes, meaning);
    if (udp_->writeDatagram(bytes, to, port) == bytes.size())
        ++counters_.datagramsSent;
    else
        log(QStringLiteral("udp"), QStringLiteral("!!"), {}, QStringLiteral("send failed: %1").arg(udp_->errorString()));
}

void TransceiverSim::sendStatus()
{
    // Not during a read: older configurators found the end marker by byte 11 left in their receive
    // buffer by the settings block, which a status datagram in between overwrote (--status-in-read
    // plays that case on purpose).
    if (!settings_.statusEnabled || !udp_ || peerPort_ == 0 || lanLogic_.readInProgress() || readSendsQueued_ > 0)
        return;
    if (statusTimer_->interval() != std::max(1, settings_.statusIntervalMs))
        statusTimer_->setInterval(std::max(1, settings_.statusIntervalMs));
    ++counters_.statusSent;
    sendDatagram(lanLogic_.statusDatagram(), QStringLiteral("status"), peer_, peerPort_);
}

void TransceiverSim::saveImage()
{
    if (settings_.saveImagePath.isEmpty())
        return;
    QString error;
    if (memory_.save(settings_.saveImagePath, &error)) {
        log(QStringLiteral("image"), QStringLiteral("=="), {}, QStringLiteral("saved to %1").arg(settings_.saveImagePath));
        emit imageSaved(settings_.saveImagePath);
    } else {
        log(QStringLiteral("image"), QStringLiteral("!!"), {}, error);
        emit saveFailed(error);
    }
}

bool TransceiverSim::logging() const
{
    static const QMetaMethod signal = QMetaMethod::fromSignal(&TransceiverSim::logLine);
    return isSignalConnected(signal);
}

void TransceiverSim::log(const QString &channel, const QString &direction, const QByteArray &bytes,
                         const QString &meaning)
{
    if (!logging())
        return;
    QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) + QLatin1Char(' ');
    if (!name_.isEmpty())
        line += name_ + QLatin1Char(' ');
    line += channel + QLatin1Char(' ') + direction;
    if (!bytes.isEmpty())
        line += QLatin1Char(' ') + hexDump(bytes);
    if (!meaning.isEmpty())
        line += QStringLiteral("  ") + meaning;
    emit logLine(line);
}

} // namespace talvir

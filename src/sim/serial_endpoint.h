// The transceiver's end of a serial line: the master side of a pseudo-terminal whose slave the
// configurator opens (through a symbolic link), or a real serial device. Bytes in by signal, bytes out
// by write(); close() makes the far side see the line gone.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;

namespace talvir {

class SerialEndpoint : public QObject {
    Q_OBJECT
public:
    explicit SerialEndpoint(QObject *parent = nullptr);
    ~SerialEndpoint() override;

    // Creates a pseudo-terminal pair in raw mode and points link at its slave (an existing symbolic
    // link is replaced; any other file at link is left alone and reported). The simulator keeps an fd
    // on the slave itself, so the configurator closing and reopening the port does not hang up the
    // master.
    bool openPty(const QString &link, QString *error);
    // Opens a real serial device at 115200 8N1, raw.
    bool openDevice(const QString &path, QString *error);
    // Closes the line; the configurator's port sees a read error. Removes the link made by openPty.
    void close();

    bool isOpen() const { return fd_ >= 0; }
    QString devicePath() const { return devicePath_; } // the slave device or the real device
    QString linkPath() const { return linkPath_; }
    // False when the line could not take the bytes (nobody reading, buffer full).
    bool write(const QByteArray &bytes);

signals:
    void bytesReceived(const QByteArray &bytes);
    void note(const QString &text); // line trouble worth a log line

private:
    void onReadable();
    void watch();

    int fd_ = -1;          // pty master or device
    int slaveFd_ = -1;     // held open while serving a pty
    QString devicePath_;
    QString linkPath_;
    QSocketNotifier *notifier_ = nullptr;
    QTimer *resume_ = nullptr; // re-enables reading after EIO, instead of spinning on it
};

} // namespace talvir

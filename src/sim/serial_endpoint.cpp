#include "serial_endpoint.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace talvir {

namespace {

QString errnoText(int e) { return QString::fromLocal8Bit(std::strerror(e)); }

bool makeRaw(int fd, QString *error, const QString &what)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        *error = QStringLiteral("%1: cannot read the line settings: %2").arg(what, errnoText(errno));
        return false;
    }
    cfmakeraw(&t);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        *error = QStringLiteral("%1: cannot set the line to raw: %2").arg(what, errnoText(errno));
        return false;
    }
    return true;
}

void setFlags(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    fcntl(fd, F_SETFD, fcntl(fd, F_GETFD) | FD_CLOEXEC);
}

} // namespace

SerialEndpoint::SerialEndpoint(QObject *parent) : QObject(parent)
{
    resume_ = new QTimer(this);
    resume_->setSingleShot(true);
    resume_->setInterval(100);
    connect(resume_, &QTimer::timeout, this, [this] {
        if (notifier_)
            notifier_->setEnabled(true);
    });
}

SerialEndpoint::~SerialEndpoint()
{
    close();
}

bool SerialEndpoint::openPty(const QString &link, QString *error)
{
    close();
    const QByteArray linkName = QFile::encodeName(link);
    const QFileInfo existing(link);
    if (existing.exists() || existing.isSymLink()) {
        if (!existing.isSymLink()) {
            *error = QStringLiteral("%1 exists and is not a symbolic link: not replaced").arg(link);
            return false;
        }
        if (::unlink(linkName.constData()) != 0) {
            *error = QStringLiteral("cannot replace the link %1: %2").arg(link, errnoText(errno));
            return false;
        }
    }

    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        *error = QStringLiteral("cannot create a pseudo-terminal: %1").arg(errnoText(errno));
        return false;
    }
    if (!makeRaw(slave, error, QString::fromLocal8Bit(name))) {
        ::close(master);
        ::close(slave);
        return false;
    }
    setFlags(master);
    setFlags(slave);
    if (::symlink(name, linkName.constData()) != 0) {
        *error = QStringLiteral("cannot make the link %1 -> %2: %3").arg(link, QString::fromLocal8Bit(name),
                                                                        errnoText(errno));
        ::close(master);
        ::close(slave);
        return false;
    }
    fd_ = master;
    slaveFd_ = slave;
    devicePath_ = QString::fromLocal8Bit(name);
    linkPath_ = link;
    watch();
    return true;
}

bool SerialEndpoint::openDevice(const QString &path, QString *error)
{
    close();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, errnoText(errno));
        return false;
    }
    if (!makeRaw(fd, error, path)) {
        ::close(fd);
        return false;
    }
    tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    devicePath_ = path;
    watch();
    return true;
}

void SerialEndpoint::watch()
{
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SerialEndpoint::onReadable);
}

void SerialEndpoint::close()
{
    resume_->stop();
    if (notifier_) {
        notifier_->setEnabled(false);
        delete notifier_;
        notifier_ = nullptr;
    }
    if (fd_ >= 0)
        ::close(fd_);
    if (slaveFd_ >= 0)
        ::close(slaveFd_);
    fd_ = -1;
    slaveFd_ = -1;
    if (!linkPath_.isEmpty()) {
        // Only our own link: someone may have pointed the name elsewhere meanwhile.
        const QFileInfo fi(linkPath_);
        if (fi.isSymLink() && fi.symLinkTarget() == devicePath_)
            ::unlink(QFile::encodeName(linkPath_).constData());
    }
    linkPath_.clear();
    devicePath_.clear();
}

void SerialEndpoint::onReadable()
{
    QByteArray got;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
            got.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // EIO (or end of file): the far side is gone for now. Pause instead of spinning on it.
        const QString why = n == 0 ? QStringLiteral("line closed by the far side")
                                   : QStringLiteral("line read error: %1").arg(errnoText(errno));
        notifier_->setEnabled(false);
        resume_->start();
        if (!got.isEmpty())
            emit bytesReceived(got);
        emit note(why);
        return;
    }
    if (!got.isEmpty())
        emit bytesReceived(got);
}

bool SerialEndpoint::write(const QByteArray &bytes)
{
    if (fd_ < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        emit note(QStringLiteral("line write failed: %1").arg(n < 0 ? errnoText(errno) : QStringLiteral("nothing taken")));
        return false;
    }
    return true;
}

} // namespace talvir

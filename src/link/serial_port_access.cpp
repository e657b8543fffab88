#include "serial_port_access.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#endif

namespace talvir {

namespace {

#ifdef Q_OS_LINUX
QString groupName(gid_t gid)
{
    std::vector<char> buffer(16384);
    struct group entry {};
    struct group *found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return QString::number(gid);
    return QString::fromLocal8Bit(found->gr_name);
}

bool holdsGroup(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(std::size_t(count), 0);
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[std::size_t(i)] == gid)
            return true;
    }
    return false;
}
#endif

} // namespace

SerialPortAccess inspectSerialPort(const QString &port, const QString &reason)
{
    SerialPortAccess access;
    access.port = port;
    access.reason = reason;
#ifdef Q_OS_LINUX
    // A bare name such as "ttyUSB0" is a device in /dev, as the serial port takes it.
    const QString path = port.contains(QLatin1Char('/')) ? port : QStringLiteral("/dev/") + port;
    const QByteArray native = QFile::encodeName(path);
    // The serial port keeps no error code, only its text: ask the system once more. The open cannot
    // disturb a transceiver that the first attempt could not reach either.
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return access;
    }
    access.permissionDenied = errno == EACCES || errno == EPERM;
    struct stat info {};
    if (access.permissionDenied && ::stat(native.constData(), &info) == 0) {
        access.group = groupName(info.st_gid);
        access.inGroup = holdsGroup(info.st_gid);
    }
#endif
    return access;
}

QString serialPortAccessText(const SerialPortAccess &access)
{
    QString text = access.reason.isEmpty()
                       ? QStringLiteral("Порт %1 не открывается.").arg(access.port)
                       : QStringLiteral("Порт %1 не открывается: %2").arg(access.port, access.reason);
    if (!access.permissionDenied || access.group.isEmpty() || access.inGroup || access.group == QLatin1String("root"))
        return text;
    text += QStringLiteral("\nПорт принадлежит группе %1, а пользователь в неё не входит. Добавьте пользователя "
                           "в группу командой\nsudo usermod -aG %1 $USER\nи войдите в систему заново.")
                .arg(access.group);
    return text;
}

QString explainSerialPortFailure(const QString &port, const QString &reason)
{
    return serialPortAccessText(inspectSerialPort(port, reason));
}

} // namespace talvir

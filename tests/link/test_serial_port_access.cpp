// What the technician reads when a serial port does not open: the wording for each kind of refusal,
// and a real pseudo-terminal the user may not open, which must name its group and the usermod line.
#include "link/serial_port_access.h"
#include "link/serial_transport.h"

#include <QtTest>

#include <grp.h>
#include <linux/capability.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace talvir;

namespace {

// Root opens any device: while this lives the calling thread (capabilities are per thread) checks
// file permissions as any other user does.
class PermissionChecksOn {
public:
    PermissionChecksOn()
    {
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        active_ = ::syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~PermissionChecksOn()
    {
        if (active_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    bool active() const { return active_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

const QString kUsermodAdvice = QStringLiteral(
    "\nПорт принадлежит группе dialout, а пользователь в неё не входит. Добавьте пользователя в группу "
    "командой\nsudo usermod -aG dialout $USER\nи войдите в систему заново.");

} // namespace

class TestSerialPortAccess : public QObject {
    Q_OBJECT

private slots:
    void wording_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("permissionDenied");
        QTest::addColumn<QString>("group");
        QTest::addColumn<bool>("inGroup");
        QTest::addColumn<QString>("text");
        const QString refused = QStringLiteral("Порт /dev/ttyUSB0 не открывается: Permission denied");
        QTest::newRow("user outside the group") << "Permission denied" << true << "dialout" << false
                                                << refused + kUsermodAdvice;
        // Already a member, still refused: the device's mode is at fault, joining again is no fix.
        QTest::newRow("user in the group") << "Permission denied" << true << "dialout" << true << refused;
        QTest::newRow("device of group root") << "Permission denied" << true << "root" << false << refused;
        QTest::newRow("group unknown") << "Permission denied" << true << "" << false << refused;
        QTest::newRow("no such device") << "No such file or directory" << false << "" << false
                                        << "Порт /dev/ttyUSB0 не открывается: No such file or directory";
        QTest::newRow("no reason given") << "" << false << "" << false << "Порт /dev/ttyUSB0 не открывается.";
    }

    void wording()
    {
        QFETCH(QString, reason);
        QFETCH(bool, permissionDenied);
        QFETCH(QString, group);
        QFETCH(bool, inGroup);
        QFETCH(QString, text);
        QCOMPARE(serialPortAccessText({QStringLiteral("/dev/ttyUSB0"), reason, permissionDenied, group, inGroup}), text);
    }

    // A pseudo-terminal refused to this user: as root it is given to another user and to group
    // dialout, as anyone else it keeps its group and loses every permission.
    void refusedPortNamesItsGroup()
    {
        int master = -1;
        int slave = -1;
        char name[256] = {};
        QVERIFY(::openpty(&master, &slave, name, nullptr, nullptr) == 0);
        ::close(slave);
        const QByteArray path(name);
        const bool root = ::geteuid() == 0;
        if (root) {
            const struct group *dialout = ::getgrnam("dialout");
            QVERIFY2(dialout, "no group dialout on this system");
            QVERIFY(::chown(path.constData(), 65534, dialout->gr_gid) == 0);
            QVERIFY(::chmod(path.constData(), 0660) == 0);
        } else {
            QVERIFY(::chmod(path.constData(), 0) == 0);
        }
        struct stat info {};
        QVERIFY(::stat(path.constData(), &info) == 0);
        const QString group = QString::fromLocal8Bit(::getgrgid(info.st_gid)->gr_name);

        QString reason;
        QString text;
        {
            PermissionChecksOn checks;
            QVERIFY2(!root || checks.active(), "cannot drop the file-permission override of root");
            QtSerialTransport port;
            QVERIFY(!port.open(QString::fromLocal8Bit(path), &reason));
            text = explainSerialPortFailure(QString::fromLocal8Bit(path), reason);
        }
        ::close(master);

        QVERIFY2(text.startsWith(QStringLiteral("Порт %1 не открывается: %2\n").arg(QString::fromLocal8Bit(path), reason)),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("группе %1,").arg(group)), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("\nsudo usermod -aG %1 $USER\n").arg(group)), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestSerialPortAccess)
#include "test_serial_port_access.moc"

// What kcftool write / read refuse before anything goes to the transceiver: files that are not this
// transceiver's configuration, bad command lines, an output folder that is not there, a UDP port that
// is taken; and what every command refuses of damaged input and wrong targets (pipes, devices,
// folders, texts the transceiver cannot store).
#include "kcftool_rig.h"

#include <QUdpSocket>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace kcfrig;

namespace {

const QByteArray kGoodJson = "{\"serialNo\": \"7\", \"apn\": \"a\", \"localIp\": \"10.0.0.5\", \"localPort\": \"1\", "
                             "\"gatewayIp\": \"10.0.0.1\"}";

// What is at a path, to tell that a refusal left it as it was.
QString kindAt(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("nothing");
    return S_ISFIFO(st.st_mode) ? QStringLiteral("fifo")
         : S_ISCHR(st.st_mode)  ? QStringLiteral("device")
         : S_ISDIR(st.st_mode)  ? QStringLiteral("folder")
         : QStringLiteral("file of %1 bytes").arg(st.st_size);
}

// Makes the target of a row: "fifo", "device" (a character device like /dev/null), "folder",
// "TransP" (a file of just the signature), "nothing", or "unwritable" (a folder nobody may write in:
// for root, who may write anywhere, a place of sysfs). Returns the path, empty to skip the row.
QString makeTarget(const QTemporaryDir &dir, const QString &kind)
{
    QString path = dir.filePath(QStringLiteral("target.kcf"));
    const QByteArray native = QFile::encodeName(path);
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(native.constData(), 0600) == 0 ? path : QString();
    if (kind == QLatin1String("device"))
        return ::mknod(native.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0 ? path : QString();
    if (kind == QLatin1String("folder"))
        return QDir().mkdir(path) ? path : QString();
    if (kind == QLatin1String("TransP"))
        return writeFile(path, "TransP") ? path : QString();
    if (kind == QLatin1String("unwritable")) {
        if (::geteuid() == 0)
            return QStringLiteral("/sys/kcftool-read-target.kcf");
        const QString folder = dir.filePath(QStringLiteral("locked"));
        QDir().mkdir(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        return folder + QStringLiteral("/out.kcf");
    }
    return path; // "nothing"
}

// Record k of a file (0 = the signature) replaced.
QByteArray withRecord(QByteArray file, int k, const QByteArray &record)
{
    file.replace(6 * k, 6, record);
    return file;
}

} // namespace

class TestKcftoolRefusals : public QObject {
    Q_OBJECT
private slots:
    void refusedFileSendsNothing_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QByteArray>("file"); // empty: no file at all
        QTest::addColumn<QString>("message");
        const QByteArray file600 = kcfOf(QByteArray(28622, '\0'));
        const QByteArray fileDuziv = kcfOf(QByteArray(14522, '\0'));
        QTest::newRow("duziv file to 600r") << "600r" << fileDuziv
                                            << "holds 14522 frame records (a configuration of MXR_duziv, 300 panel "
                                               "slots); the MXR_600r transceiver takes 28622";
        QTest::newRow("600r file to duziv") << "duziv" << file600
                                            << "holds 28622 frame records (a configuration of MXR_600r, 600 panel "
                                               "slots); the MXR_duziv transceiver takes 14522";
        QTest::newRow("one record short") << "600r" << file600.chopped(6) << "holds 28621 frame records; the MXR_600r";
        // Record 2 is the first frame: 3B 00 00 00 32 F6; here with a CRC off by one.
        QTest::newRow("bad CRC") << "600r" << withRecord(file600, 2, QByteArray::fromHex("3B00000032F7"))
                                 << "record 2 has a bad CRC";
        // Record 3 addressed 0x0000 like record 2 (CRC of 3B 00 00 00 is 32 F6).
        QTest::newRow("address twice") << "600r" << withRecord(file600, 3, QByteArray::fromHex("3B00000032F6"))
                                       << "record 3 sets address 0x0000 a second time";
        // Address 0x38BA is one past the duziv memory (a good frame otherwise).
        QTest::newRow("outside the memory")
            << "duziv" << withRecord(fileDuziv, 14523, talvir::frameBytes(talvir::makeWriteFrame(0x38BA, 0)))
            << "record 14523 is addressed 0x38ba, outside the memory";
        QTest::newRow("identification frame as a record")
            << "duziv" << withRecord(fileDuziv, 7, QByteArray::fromHex("230101 01B8B2")) << "record 7 is not a write frame";
        QTest::newRow("no signature") << "600r" << withRecord(file600, 0, "TrunsP")
                                      << QString::fromUtf8("Формат файла не соответствует типу устройства!");
        QTest::newRow("no file") << "600r" << QByteArray() << "config.kcf";
    }
    void refusedFileSendsNothing()
    {
        QFETCH(QString, variant);
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString kcf = dir.filePath("config.kcf");
        if (!file.isEmpty())
            QVERIFY(writeFile(kcf, file));
        const QString log = dir.filePath("sim.log");
        Sim sim;
        QString error;
        QVERIFY2(sim.start({"--variant", variant, "--serial-pty", dir.filePath("tty"), "--udp", "127.0.31.31",
                            "--udp-port", "0", "--log", log},
                           &error),
                 qPrintable(error));
        for (const QStringList &channel : {QStringList{"--usb", sim.device()}, sim.lan()}) {
            const Run r = kcftool(QStringList{"write", "--variant", variant} + channel + QStringList{kcf});
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(message), qPrintable(r.err));
            if (!file.isEmpty() && !message.startsWith(QString::fromUtf8("Формат")))
                QVERIFY2(r.err.contains("Nothing was sent."), qPrintable(r.err));
        }
        // The transceiver heard nothing at all, not even the identification frame or the poll.
        const QByteArray seen = readFile(log);
        QVERIFY2(seen.contains("bound") && !seen.contains(" <- "), seen.constData());
    }

    // An input larger than any correct one is refused at once: nothing is read whole, nothing sent.
    void oversizedInputRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("device"); // /dev/zero, or a file one record past the largest
        QTest::newRow("encode /dev/zero") << "encode" << true;
        QTest::newRow("write /dev/zero") << "write" << true;
        QTest::newRow("write a file one record too long") << "write" << false;
    }
    void oversizedInputRefusedAtOnce()
    {
        QFETCH(QString, command);
        QFETCH(bool, device);
        QTemporaryDir dir;
        QString input = "/dev/zero";
        if (!device) {
            input = dir.filePath("long.kcf");
            QVERIFY(writeFile(input, kcfOf(QByteArray(28622, '\0')) + QByteArray(6, '\0')));
        }
        const QString log = dir.filePath("sim.log");
        Sim sim;
        QString error;
        QVERIFY2(sim.start({"--serial-pty", dir.filePath("tty"), "--log", log}, &error), qPrintable(error));
        const QString out = dir.filePath("x.kcf");
        const QStringList args = command == "encode" ? QStringList{"encode", input, out}
                                                     : QStringList{"write", "--usb", sim.device(), input};
        const Run r = kcftool(args, 10000);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("larger than any correct input"), qPrintable(r.err));
        QVERIFY(!QFile::exists(out));
        QVERIFY2(!readFile(log).contains(" <- "), readFile(log).constData());
    }

    void badUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString f = "config.kcf";
        QTest::newRow("no channel") << QStringList{"write", f} << "--usb PORT or --lan IP";
        QTest::newRow("both channels") << QStringList{"write", "--usb", "/dev/ttyUSB0", "--lan", "1.2.3.4", f} << "not both";
        QTest::newRow("UDP option with USB") << QStringList{"write", "--usb", "/dev/ttyUSB0", "--port", "5", f}
                                             << "go with --lan only";
        QTest::newRow("no file") << QStringList{"write", "--usb", "/dev/ttyUSB0"} << "usage: kcftool write";
        QTest::newRow("two files") << QStringList{"write", "--lan", "1.2.3.4", f, f} << "usage: kcftool write";
        QTest::newRow("unknown option") << QStringList{"write", "--usb", "/dev/ttyUSB0", "--fast", f}
                                        << "unknown option '--fast'";
        QTest::newRow("--lan without value") << QStringList{"write", f, "--lan"} << "--lan needs a value";
        QTest::newRow("local port too big") << QStringList{"write", "--lan", "1.2.3.4", "--port", "70000", f}
                                            << "--port '70000'";
        QTest::newRow("remote port 0") << QStringList{"write", "--lan", "1.2.3.4", "--remote-port=0", f}
                                       << "--remote-port '0'";
        QTest::newRow("bind not IPv4") << QStringList{"write", "--lan", "1.2.3.4", "--bind", "::1", f} << "--bind '::1'";
        QTest::newRow("address 0.0.0.0") << QStringList{"write", "--lan", "0.0.0.0", f}
                                         << QString::fromUtf8("Недопустимый IP-адрес трансивера.");
        QTest::newRow("address not a number") << QStringList{"write", "--lan", "192.168.1.x", f}
                                              << "'x' is not a valid integer value";
        QTest::newRow("unknown variant") << QStringList{"write", "--variant", "700", "--usb", "/dev/ttyUSB0", f}
                                         << "unknown variant '700'";
        QTest::newRow("read over USB") << QStringList{"read", "--usb", "/dev/ttyUSB0", f} << "over LAN only";
        QTest::newRow("read without output") << QStringList{"read", "--lan", "1.2.3.4"} << "usage: kcftool read";
    }
    void badUsage()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        const Run r = kcftool(args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    // Damaged input and wrong targets: each refused with what is wrong and where, the path unchanged.
    void pathsAndTextsRefused_data()
    {
        QTest::addColumn<QStringList>("args"); // TARGET: the path made for the row; JSON: a JSON file;
                                               // LAN: kcftool's end of the link to the simulator
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString notRegular = QString::fromUtf8("это не обычный файл");
        QTest::newRow("encode into a FIFO") << QStringList{"encode", "JSON", "TARGET"} << "fifo" << kGoodJson << 1 << notRegular;
        QTest::newRow("encode into a device") << QStringList{"encode", "JSON", "TARGET"} << "device" << kGoodJson << 1 << notRegular;
        QTest::newRow("encode into a folder") << QStringList{"encode", "JSON", "TARGET"} << "folder" << kGoodJson << 1 << notRegular;
        QTest::newRow("read into a FIFO") << QStringList{"read", "LAN", "TARGET"} << "fifo" << QByteArray() << 1
                                          << "not a regular file";
        QTest::newRow("read where nothing may be written") << QStringList{"read", "LAN", "TARGET"} << "unwritable"
                                                           << QByteArray() << 1 << "cannot be saved there";
        QTest::newRow("dump of a missing file") << QStringList{"dump", "TARGET"} << "nothing" << QByteArray() << 1
                                                << "No such file or directory";
        QTest::newRow("panels of a folder") << QStringList{"panels", "--csv", "TARGET"} << "folder" << QByteArray() << 1
                                            << "target.kcf:";
        QTest::newRow("dump of a bare signature") << QStringList{"dump", "TARGET"} << "TransP" << QByteArray() << 1
                                                  << "ends after its signature";
        QTest::newRow("emoji in the APN") << QStringList{"encode", "JSON", "TARGET"} << "nothing"
                                          << QByteArray("{\"apn\": \"\xF0\x9F\x98\x80\"}") << 2
                                          << "field 'apn': holds characters outside Windows-1251";
        QTest::newRow("a key twice") << QStringList{"encode", "JSON", "TARGET"} << "nothing"
                                     << QByteArray("{\"panels\": [{\"obj\": \"0001\", \"o\\u0062j\": \"0002\"}]}") << 2
                                     << "field 'panels[0].obj': given twice";
    }
    void pathsAndTextsRefused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, target);
        QFETCH(QByteArray, json);
        QTemporaryDir dir;
        const QString path = makeTarget(dir, target);
        if (path.isEmpty())
            QSKIP("this target cannot be made here");
        const QString before = kindAt(path);
        const QString log = dir.filePath("sim.log");
        Sim sim;
        QStringList command;
        for (const QString &a : args) {
            if (a == "TARGET") {
                command << path;
            } else if (a == "JSON") {
                QVERIFY(writeFile(dir.filePath("c.json"), json));
                command << dir.filePath("c.json");
            } else if (a == "LAN") {
                QString error;
                QVERIFY2(sim.start({"--udp", "127.0.31.34", "--udp-port", "0", "--log", log}, &error), qPrintable(error));
                command << sim.lan();
            } else {
                command << a;
            }
        }
        const Run r = kcftool(command, 10000);
        QFETCH(int, code);
        QFETCH(QString, message);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY2(r.err.contains(path) || r.code == 2, qPrintable(r.err));
        QCOMPARE(kindAt(path), before);
        if (args.contains("LAN"))
            QVERIFY2(!readFile(log).contains(" <- "), readFile(log).constData());
    }

    void readWantsAFolderToSaveInto()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath("sim.log");
        Sim sim;
        QString error;
        QVERIFY2(sim.start({"--udp", "127.0.31.32", "--udp-port", "0", "--log", log}, &error), qPrintable(error));
        const Run r = kcftool(QStringList{"read"} + sim.lan() + QStringList{dir.filePath("no/such/folder/out.kcf")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("no/such/folder/out.kcf"), qPrintable(r.err));
        QVERIFY(!readFile(log).contains(" <- "));
    }

    void localPortTaken()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
        QTemporaryDir dir;
        const QString kcf = dir.filePath("config.kcf");
        QVERIFY(writeFile(kcf, kcfOf(QByteArray(28622, '\0'))));
        const Run r = kcftool({"write", "--lan", "127.0.31.33", "--bind", "127.0.0.1", "--port",
                               QString::number(holder.localPort()), kcf});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QString::fromUtf8("Не удалось открыть порт UDP %1").arg(holder.localPort())),
                 qPrintable(r.err));
        QCOMPARE(holder.pendingDatagramSize(), qint64(-1));
    }
};

QTEST_GUILESS_MAIN(TestKcftoolRefusals)
#include "test_kcftool_refusals.moc"

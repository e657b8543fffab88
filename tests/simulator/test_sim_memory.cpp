// The simulated memory: loading configuration files and raw images as the transceiver would take
// them, refusing bad ones whole, and saving the raw image atomically.
#include "simulator/sim_test_util.h"

#include "link/frames.h"
#include "sim/sim_memory.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace talvir;
using namespace simtest;

namespace {
QByteArray hex(const char *h) { return QByteArray::fromHex(h); }
const QByteArray kFixed = hex("A1B2C3D4E5F6"); // stands for the scrambled fixed record

// A configuration file of the given image, as the configurator saves it.
QByteArray kcfOf(const QByteArray &image)
{
    QByteArray f = QByteArray("TransP") + kFixed;
    for (int a = 0; a < image.size(); ++a)
        f += frameBytes(makeWriteFrame(quint16(a), quint8(image[a])));
    return f;
}
} // namespace

class TestSimMemory : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString put(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("in-%1").arg(++files_));
        writeFile(path, content);
        return path;
    }
    int files_ = 0;

private slots:
    void loadsFrames_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("value");
        QTest::newRow("signature P, fixed record skipped")
            << QByteArray("TransP" + kFixed + hex("3B286E056511")) << 0x6E28 << 0x05;
        QTest::newRow("other signature byte: frames from record 1")
            << QByteArray("Trans\x01" + hex("3B286E056511")) << 0x6E28 << 0x05;
        QTest::newRow("short tail ignored") << QByteArray("TransP" + kFixed + hex("3B286E056511 3B28")) << 0x6E28 << 0x05;
        QTest::newRow("later frame wins") << QByteArray("TransP" + kFixed + hex("3B286E056511 3B286E065572"))
                                           << 0x6E28 << 0x06;
        QTest::newRow("address 0") << QByteArray("TransP" + kFixed + hex("3B000000 32F6")) << 0 << 0;
    }
    void loadsFrames()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, address);
        QFETCH(int, value);
        SimMemory m(28622);
        m.store(0, 0x99);
        QString error;
        QVERIFY2(m.load(put(file), &error), qPrintable(error));
        QCOMPARE(int(m.at(address)), value);
    }

    void wholeFileAndRawImage_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("raw");
        QTest::newRow("600-slot file") << 28622 << false;
        QTest::newRow("300-slot file") << 14522 << false;
        QTest::newRow("600-slot raw image") << 28622 << true;
        QTest::newRow("300-slot raw image") << 14522 << true;
    }
    void wholeFileAndRawImage()
    {
        QFETCH(int, size);
        QFETCH(bool, raw);
        const QByteArray image = patternImage(size, 41);
        SimMemory m(size);
        QString error;
        QString warning = QStringLiteral("unset");
        QVERIFY2(m.load(put(raw ? image : kcfOf(image)), &error, &warning), qPrintable(error));
        QCOMPARE(m.bytes(), image);
        if (!raw)
            QCOMPARE(warning, QString());
    }

    void fileOfTheOtherCapacityWarns()
    {
        SimMemory m(28622);
        QString error, warning;
        QVERIFY(m.load(put(kcfOf(patternImage(14522))), &error, &warning));
        QVERIFY2(warning.contains(QStringLiteral("14522")), qPrintable(warning));
    }

    void refusesBadInput_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("neither");
        QTest::newRow("raw one byte short") << QByteArray(28621, 'r') << QStringLiteral("28621 bytes");
        QTest::newRow("signature cut") << QByteArray("Trans") << QStringLiteral("cut short");
        QTest::newRow("no fixed record") << QByteArray("TransP") << QStringLiteral("fixed record");
        QTest::newRow("no frames") << QByteArray("TransP" + kFixed) << QStringLiteral("no write frames");
        QTest::newRow("bad CRC in record 2")
            << QByteArray("TransP" + kFixed + hex("3B286E056512")) << QStringLiteral("record 2");
        QTest::newRow("identification frame as record")
            << QByteArray("TransP" + kFixed + hex("230101 01B8B2")) << QStringLiteral("not a write frame");
        QTest::newRow("larger than any configuration file")
            << QByteArray("TransP" + QByteArray(171744, '\0')) << QStringLiteral("larger than any correct input");
        QTest::newRow("address past the end")
            << QByteArray("TransP" + kFixed + frameBytes(makeWriteFrame(0x6FCE, 1)))
            << QStringLiteral("0x6fce");
    }
    void refusesBadInput()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        SimMemory m(28622);
        const QByteArray before = patternImage(28622, 2);
        QVERIFY(m.replace(before));
        QString error;
        QVERIFY(!m.load(put(file), &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(m.bytes(), before);
    }

    void missingFile()
    {
        SimMemory m(100);
        QString error;
        QVERIFY(!m.load(dir.filePath(QStringLiteral("nothing-here.kcf")), &error));
        QVERIFY2(error.contains(QStringLiteral("nothing-here.kcf")), qPrintable(error));
    }

    void savesRawImage()
    {
        SimMemory m(14522);
        QVERIFY(m.replace(patternImage(14522, 9)));
        const QString path = dir.filePath(QStringLiteral("saved.bin"));
        QVERIFY(writeFile(path, QByteArray(99999, 'o')));
        QString error;
        QVERIFY2(m.save(path, &error), qPrintable(error));
        QCOMPARE(readFile(path), patternImage(14522, 9));
    }

    void saveIntoMissingFolderFailsCleanly()
    {
        SimMemory m(10);
        QString error;
        const QString path = dir.filePath(QStringLiteral("no-such-folder/saved.bin"));
        QVERIFY(!m.save(path, &error));
        QVERIFY2(error.contains(path), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestSimMemory)
#include "test_sim_memory.moc"

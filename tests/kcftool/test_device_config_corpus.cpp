// Replays the seeds of the fuzz target of kcftool's whole-file check (write and diff) through its own
// entry point, with complete files of both programs, whole and with one record spoilt, made here:
// they are too large to keep as seeds.
#include "device_config_harness.h"

#include "support/fuzz_corpus.h"
#include "files/config_file.h"

#include <QtTest>

namespace {

QByteArray completeFile(int imageSize)
{
    talvir::SendList list;
    for (int a = 0; a < imageSize; ++a)
        list.queueWriteFrame(std::uint16_t(a), static_cast<unsigned char>(a * 7));
    return talvir::configFileBytes(list);
}

} // namespace

class TestDeviceConfigCorpus : public QObject {
    Q_OBJECT
private slots:
    void corpus_data() { testsupport::addCorpusRows(QStringLiteral(TALVIR_FUZZ_CORPUS)); }
    void corpus()
    {
        QFETCH(QString, path);
        testsupport::replaySeed(path, &kcftool::fuzzDeviceConfig);
    }

    void completeFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        for (int size : {14522, 28622}) {
            const QByteArray whole = completeFile(size);
            QTest::addRow("%d bytes", size) << whole;
            QTest::addRow("%d bytes, a CRC spoilt", size) << QByteArray(whole).replace(100, 1, "\x01");
            QTest::addRow("%d bytes and a fragment", size) << whole + QByteArray("\x3b\x00", 2);
        }
    }
    void completeFiles()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(kcftool::fuzzDeviceConfig(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())), 0);
    }
};

QTEST_GUILESS_MAIN(TestDeviceConfigCorpus)
#include "test_device_config_corpus.moc"

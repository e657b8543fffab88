// Replays the fuzzer's seed corpus through the fuzzer's own entry point, plus files made here that
// are too large to keep as seeds, so every build runs the same checks the fuzzer does.
#include "files/config_file.h"
#include "config_file_harness.h"
#include "image/config_image.h"
#include "image/config_writer.h"

#include "support/fuzz_corpus.h"

#include <QtTest>

using namespace talvir;

class TestConfigFileCorpus : public QObject {
    Q_OBJECT
private slots:
    void corpus_data() { testsupport::addCorpusRows(QStringLiteral(TALVIR_FUZZ_CORPUS)); }
    void corpus()
    {
        QFETCH(QString, path);
        const std::optional<QByteArray> seed = testsupport::readSeed(path);
        QVERIFY(seed);
        const QByteArray &bytes = *seed;
        QCOMPARE(fuzzConfigFile(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())), 0);
    }

    void fullFiles_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::addColumn<int>("cut");
        for (bool d : {false, true}) {
            for (int cut : {0, 1, 6, 7, 6 * 320 + 3, 6 * 500, 6 * 14200})
                QTest::addRow("%s minus %d", d ? "duziv" : "600r", cut) << d << cut;
        }
    }
    void fullFiles()
    {
        QFETCH(bool, duziv);
        QFETCH(int, cut);
        const Variant &v = duziv ? Variant::mxrDuziv() : Variant::mxr600r();
        TransceiverConfig c;
        c.factoryNumber = "1";
        c.localPort = "1";
        c.localIp = c.gatewayIp = "10.0.0.1";
        c.apn = "a";
        PanelRecord r;
        r.obj = r.account = "0001";
        c.panels = {r, r};
        ConfigImage image(v);
        SendList list;
        QVERIFY(!prepareWrite(image, c, true, list));
        QByteArray bytes = configFileBytes(list);
        bytes.chop(cut);
        QCOMPARE(fuzzConfigFile(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())), 0);
    }
};

QTEST_GUILESS_MAIN(TestConfigFileCorpus)
#include "test_config_file_corpus.moc"

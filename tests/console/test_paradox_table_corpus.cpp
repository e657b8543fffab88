// Replays the Paradox fuzz target's seed corpus through the fuzzer's own entry point, so every
// build runs the checks the fuzzer does; a crash the fuzzer finds becomes a seed here.
#include "console/paradox_table.h"
#include "paradox_table_harness.h"

#include "support/fuzz_corpus.h"

#include <QtTest>

using namespace talvir;

class TestParadoxTableCorpus : public QObject {
    Q_OBJECT
private slots:
    void corpus_data() { testsupport::addCorpusRows(QStringLiteral(TALVIR_PARADOX_CORPUS)); }
    void corpus()
    {
        QFETCH(QString, path);
        const std::optional<QByteArray> seed = testsupport::readSeed(path);
        QVERIFY(seed);
        const QByteArray &bytes = *seed;
        QCOMPARE(fuzzParadoxTable(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())), 0);
        // The seeds that are damaged say so in their names; every other one is a table to read.
        ParadoxTable table;
        QString error;
        const QString name = QFileInfo(path).fileName();
        const bool damaged = name.startsWith(QLatin1String("damaged_"));
        QCOMPARE(readParadoxTable(path, table, error), !damaged);
    }
};

QTEST_GUILESS_MAIN(TestParadoxTableCorpus)
#include "test_paradox_table_corpus.moc"

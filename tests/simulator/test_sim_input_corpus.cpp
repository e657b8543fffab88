// Replays the seeds of the simulator's serial-line and UDP fuzz targets through their own entry
// points, so every build runs the fuzzers' checks on them.
#include "sim_input_harness.h"

#include "support/fuzz_corpus.h"

#include <QtTest>

class TestSimInputCorpus : public QObject {
    Q_OBJECT
private slots:
    void serialLine_data() { testsupport::addCorpusRows(QStringLiteral(TALVIR_SERIAL_CORPUS)); }
    void serialLine()
    {
        QFETCH(QString, path);
        testsupport::replaySeed(path, &talvir::fuzzSimSerial);
    }
    void datagrams_data() { testsupport::addCorpusRows(QStringLiteral(TALVIR_LAN_CORPUS)); }
    void datagrams()
    {
        QFETCH(QString, path);
        testsupport::replaySeed(path, &talvir::fuzzSimLan);
    }
};

QTEST_GUILESS_MAIN(TestSimInputCorpus)
#include "test_sim_input_corpus.moc"

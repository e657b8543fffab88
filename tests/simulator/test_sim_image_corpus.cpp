// Replays the seeds of the simulator's --image fuzz target through its own entry point, so every
// build runs the fuzzer's checks on them.
#include "sim_image_harness.h"

#include "support/fuzz_corpus.h"

#include <QtTest>

class TestSimImageCorpus : public QObject {
    Q_OBJECT
private slots:
    void corpus_data() { testsupport::addCorpusRows(QStringLiteral(TALVIR_FUZZ_CORPUS)); }
    void corpus()
    {
        QFETCH(QString, path);
        testsupport::replaySeed(path, &talvir::fuzzSimImage);
    }
};

QTEST_GUILESS_MAIN(TestSimImageCorpus)
#include "test_sim_image_corpus.moc"

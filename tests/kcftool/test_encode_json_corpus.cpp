// Replays the seeds of kcftool encode's fuzz target (JSON configurations and panel CSVs) through its
// own entry point, so every build runs the fuzzer's checks on them.
#include "encode_json_harness.h"

#include "support/fuzz_corpus.h"

#include <QtTest>

class TestEncodeJsonCorpus : public QObject {
    Q_OBJECT
private slots:
    void corpus_data() { testsupport::addCorpusRows(QStringLiteral(TALVIR_FUZZ_CORPUS)); }
    void corpus()
    {
        QFETCH(QString, path);
        testsupport::replaySeed(path, &talvir::fuzzEncodeJson);
    }
};

QTEST_GUILESS_MAIN(TestEncodeJsonCorpus)
#include "test_encode_json_corpus.moc"

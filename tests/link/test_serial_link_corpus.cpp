// Replays the serial link fuzz target's seed scripts through its own entry point, so every build plays
// the writes, refusals and lost ports the fuzzer starts from.
#include "serial_link_harness.h"

#include "support/fuzz_corpus.h"

#include <QtTest>

class TestSerialLinkCorpus : public QObject {
    Q_OBJECT
private slots:
    void corpus_data() { testsupport::addCorpusRows(QStringLiteral(TALVIR_FUZZ_CORPUS)); }
    void corpus()
    {
        QFETCH(QString, path);
        testsupport::replaySeed(path, &talvir::fuzzSerialLink);
    }
};

QTEST_GUILESS_MAIN(TestSerialLinkCorpus)
#include "test_serial_link_corpus.moc"

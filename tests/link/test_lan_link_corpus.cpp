// Replays the LAN link fuzz target's seed scripts through its own entry point, so every build plays
// the connects, writes, reads and status datagrams the fuzzer starts from.
#include "lan_link_harness.h"

#include "support/fuzz_corpus.h"

#include <QtTest>

class TestLanLinkCorpus : public QObject {
    Q_OBJECT
private slots:
    void corpus_data() { testsupport::addCorpusRows(QStringLiteral(TALVIR_FUZZ_CORPUS)); }
    void corpus()
    {
        QFETCH(QString, path);
        testsupport::replaySeed(path, &talvir::fuzzLanLink);
    }
};

QTEST_GUILESS_MAIN(TestLanLinkCorpus)
#include "test_lan_link_corpus.moc"

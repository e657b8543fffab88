// Replays the seeds of the console-import fuzz target (one damaged table among four sound ones)
// through its own entry point.
#include "console_import_harness.h"

#include "support/fuzz_corpus.h"

#include <QtTest>

class TestConsoleImportCorpus : public QObject {
    Q_OBJECT
private slots:
    void corpus_data() { testsupport::addCorpusRows(QStringLiteral(TALVIR_FUZZ_CORPUS)); }
    void corpus()
    {
        QFETCH(QString, path);
        testsupport::replaySeed(path, &talvir::fuzzConsoleImport);
    }
};

QTEST_GUILESS_MAIN(TestConsoleImportCorpus)
#include "test_console_import_corpus.moc"

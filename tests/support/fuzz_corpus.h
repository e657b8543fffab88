// The seed corpus of a fuzz target as the rows of a data-driven test, so every build replays what
// the fuzzer starts from (and every crash it found, once its input is added as a seed).
#pragma once

#include <QDir>
#include <QFile>
#include <QtTest>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace testsupport {

// One row per file of folder, column "path"; fails when the corpus is missing.
inline void addCorpusRows(const QString &folder)
{
    QTest::addColumn<QString>("path");
    const QDir dir(folder);
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    QVERIFY2(files.size() >= 5, "the seed corpus is missing");
    for (const QString &f : files)
        QTest::newRow(qPrintable(f)) << dir.filePath(f);
}

// The seed's bytes; nothing when it cannot be opened.
inline std::optional<QByteArray> readSeed(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

// Plays one seed through a fuzz target's entry point, which aborts on a broken invariant.
using FuzzEntry = int (*)(const std::uint8_t *data, std::size_t size);
inline void replaySeed(const QString &path, FuzzEntry entry)
{
    const std::optional<QByteArray> seed = readSeed(path);
    QVERIFY(seed);
    QCOMPARE(entry(reinterpret_cast<const std::uint8_t *>(seed->constData()), std::size_t(seed->size())), 0);
}

} // namespace testsupport

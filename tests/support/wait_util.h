// Small helpers the tests and benchmarks share: waiting on the event loop, test images, whole files.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>

#include <functional>

namespace testsupport {

// Runs the event loop until done() holds or timeoutMs passed; sleeps between events instead of spinning.
inline bool pumpUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake; // a wait for more events must end in time to notice the deadline
    wake.start(20);
    while (!done()) {
        if (clock.elapsed() >= timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

inline void pumpFor(int ms)
{
    pumpUntil([] { return false; }, ms);
}

// A configuration image of random bytes (zeros included), the same for the same seed.
inline QByteArray randomImage(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(gen.bounded(256));
    return b;
}

// The whole file, or nothing when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace testsupport

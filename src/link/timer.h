// The timers of the link logic behind a small interface, so the protocol code can run on QTimer in
// the program and on a fake clock in unit tests.
#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace talvir {

class Timer {
public:
    enum class Mode { SingleShot, Periodic };

    virtual ~Timer() = default;

    // Starts the timer, or restarts it when it runs: the next timeout comes ms from now.
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

    // Switches the timer on unless it runs already (a running timer keeps its phase), as the
    // transceiver exchanges expect of "switch the timer on".
    void switchOn(int ms)
    {
        if (!isActive())
            start(ms);
    }

    void setTimeout(std::function<void()> handler) { timeout_ = std::move(handler); }

protected:
    void fireTimeout()
    {
        if (timeout_)
            timeout_();
    }

private:
    std::function<void()> timeout_;
};

// Creates one timer; the name identifies it in tests and traces ("waitAnswer", "watchdog", ...).
using TimerFactory = std::function<std::unique_ptr<Timer>(const QString &name, Timer::Mode mode)>;

// Timers on QTimer, delivered by the calling thread's event loop.
TimerFactory qtTimerFactory();

} // namespace talvir

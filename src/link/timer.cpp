#include "timer.h"

#include <QTimer>

namespace talvir {

namespace {

class QtTimer final : public Timer {
public:
    QtTimer(const QString &name, Mode mode)
    {
        timer_.setObjectName(name);
        timer_.setSingleShot(mode == Mode::SingleShot);
        // The serial watchdog counts 55 ms ticks; a coarse timer may stretch them by 5 %.
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { fireTimeout(); });
    }
    void start(int ms) override { timer_.start(ms); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

} // namespace

TimerFactory qtTimerFactory()
{
    return [](const QString &name, Timer::Mode mode) -> std::unique_ptr<Timer> {
        return std::make_unique<QtTimer>(name, mode);
    };
}

} // namespace talvir

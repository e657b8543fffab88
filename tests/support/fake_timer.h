// A fake clock for unit tests of the link logic: timers made by its factory fire only when the test
// advances the clock or fires them by name, and each records how it was started and stopped.
#pragma once

#include "link/timer.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <limits>
#include <vector>

namespace talvir {

class FakeClock;

class FakeTimer final : public Timer {
public:
    FakeTimer(FakeClock &clock, const QString &name, Mode mode, int order)
        : clock_(clock), name_(name), mode_(mode), order_(order)
    {}
    ~FakeTimer() override;

    void start(int ms) override;
    void stop() override
    {
        if (active_)
            ++stops_;
        active_ = false;
    }
    bool isActive() const override { return active_; }

    // Fires now if active, as the event loop would: a single-shot timer is inactive again before its
    // handler runs; a periodic one is due one interval later.
    void fire();

    const QString &name() const { return name_; }
    Mode mode() const { return mode_; }
    qint64 due() const { return due_; }
    int order() const { return order_; }
    // Every start() with its interval, in order; the number of stop() calls that stopped it.
    const QList<int> &starts() const { return starts_; }
    int stops() const { return stops_; }
    int fired() const { return fired_; }
    void clearRecord()
    {
        starts_.clear();
        stops_ = 0;
        fired_ = 0;
    }

private:
    FakeClock &clock_;
    QString name_;
    Mode mode_;
    int order_;
    bool active_ = false;
    int interval_ = 0;
    qint64 due_ = 0;
    QList<int> starts_;
    int stops_ = 0;
    int fired_ = 0;
};

class FakeClock {
public:
    qint64 now() const { return now_; }

    TimerFactory factory()
    {
        return [this](const QString &name, Timer::Mode mode) -> std::unique_ptr<Timer> {
            auto t = std::make_unique<FakeTimer>(*this, name, mode, int(timers_.size()));
            timers_.push_back(t.get());
            return t;
        };
    }

    // The timer made under this name (the last one if several share it); nullptr if none.
    FakeTimer *timer(const QString &name) const
    {
        for (auto it = timers_.rbegin(); it != timers_.rend(); ++it)
            if ((*it)->name() == name)
                return *it;
        return nullptr;
    }

    // Moves time forward by ms, firing every timer that falls due on the way, earliest first (ties in
    // creation order). Handlers may start and stop timers; those are honoured.
    void advance(qint64 ms)
    {
        const qint64 target = now_ + ms;
        for (;;) {
            FakeTimer *next = nullptr;
            for (FakeTimer *t : timers_) {
                if (!t->isActive() || t->due() > target)
                    continue;
                if (!next || t->due() < next->due() || (t->due() == next->due() && t->order() < next->order()))
                    next = t;
            }
            if (!next)
                break;
            now_ = std::max(now_, next->due());
            next->fire();
        }
        now_ = target;
    }

    // Advances to the next due timer and fires it; false when no timer is active.
    bool fireNext()
    {
        FakeTimer *next = nullptr;
        for (FakeTimer *t : timers_)
            if (t->isActive() && (!next || t->due() < next->due()))
                next = t;
        if (!next)
            return false;
        advance(next->due() - now_);
        return true;
    }

    // A timer is destroyed with its owner; the clock forgets it.
    void forget(FakeTimer *t) { timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end()); }

private:
    qint64 now_ = 0;
    std::vector<FakeTimer *> timers_;
};

inline FakeTimer::~FakeTimer() { clock_.forget(this); }

inline void FakeTimer::start(int ms)
{
    active_ = true;
    interval_ = ms;
    due_ = clock_.now() + ms;
    starts_.append(ms);
}

inline void FakeTimer::fire()
{
    if (!active_)
        return;
    if (mode_ == Mode::SingleShot)
        active_ = false;
    else
        due_ = clock_.now() + std::max(interval_, 1);
    ++fired_;
    fireTimeout();
}

} // namespace talvir

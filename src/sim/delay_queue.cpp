#include "delay_queue.h"

#include <algorithm>

namespace talvir {

DelayQueue::DelayQueue(QObject *parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &DelayQueue::fire);
    clock_.start();
}

void DelayQueue::post(int delayMs, std::function<void()> action)
{
    if (delayMs <= 0 && items_.empty()) {
        action();
        return;
    }
    const qint64 due = clock_.elapsed() + std::max(0, delayMs);
    const auto at = std::upper_bound(items_.begin(), items_.end(), due,
                                     [](qint64 d, const Item &i) { return d < i.due; });
    items_.insert(at, Item{due, std::move(action)});
    schedule();
}

void DelayQueue::clear()
{
    items_.clear();
    timer_.stop();
}

void DelayQueue::schedule()
{
    if (items_.empty()) {
        timer_.stop();
        return;
    }
    timer_.start(int(std::max<qint64>(0, items_.front().due - clock_.elapsed())));
}

void DelayQueue::fire()
{
    while (!items_.empty() && items_.front().due <= clock_.elapsed()) {
        auto action = std::move(items_.front().action);
        items_.pop_front();
        action(); // may post or clear
    }
    schedule();
}

} // namespace talvir

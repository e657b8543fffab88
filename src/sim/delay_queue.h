// Runs actions after a delay, in the order of their due times (ties in the order posted), so that
// delayed answers never overtake each other. An action with no delay and nothing waiting runs at once.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>

namespace talvir {

class DelayQueue : public QObject {
    Q_OBJECT
public:
    explicit DelayQueue(QObject *parent = nullptr);

    void post(int delayMs, std::function<void()> action);
    void clear();
    int pending() const { return int(items_.size()); }

private:
    struct Item {
        qint64 due;
        std::function<void()> action;
    };
    void fire();
    void schedule();

    std::deque<Item> items_;
    QTimer timer_;
    QElapsedTimer clock_;
};

} // namespace talvir

#include "interrupt_watch.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace kcftool {

#ifdef Q_OS_UNIX
namespace {

int interruptPipe[2] = {-1, -1};

void onInterruptSignal(int)
{
    const char b = 1;
    // Only async-signal-safe work here: the event loop reads the pipe and calls the handler.
    [[maybe_unused]] const ssize_t n = ::write(interruptPipe[1], &b, 1);
}

} // namespace

struct InterruptWatch::Installed {
    struct sigaction oldInt {};
    struct sigaction oldTerm {};
    std::unique_ptr<QSocketNotifier> notifier;
};

InterruptWatch::InterruptWatch(std::function<void()> handler)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, interruptPipe) != 0)
        return;
    installed_ = std::make_unique<Installed>();
    struct sigaction sa {};
    sa.sa_handler = onInterruptSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, &installed_->oldInt);
    sigaction(SIGTERM, &sa, &installed_->oldTerm);
    installed_->notifier = std::make_unique<QSocketNotifier>(interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(installed_->notifier.get(), &QSocketNotifier::activated, installed_->notifier.get(), [handler] {
        char b;
        [[maybe_unused]] const ssize_t n = ::read(interruptPipe[0], &b, 1);
        handler();
    });
}

InterruptWatch::~InterruptWatch()
{
    if (!installed_)
        return;
    sigaction(SIGINT, &installed_->oldInt, nullptr);
    sigaction(SIGTERM, &installed_->oldTerm, nullptr);
    installed_->notifier.reset();
    ::close(interruptPipe[0]);
    ::close(interruptPipe[1]);
    interruptPipe[0] = interruptPipe[1] = -1;
}
#else
struct InterruptWatch::Installed {};
InterruptWatch::InterruptWatch(std::function<void()>) {}
InterruptWatch::~InterruptWatch() = default;
#endif

} // namespace kcftool

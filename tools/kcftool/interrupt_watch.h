// SIGINT and SIGTERM turned into an event of the running loop, for as long as the watch lives: the
// handler abandons the transfers and lets the command finish in its own words. On Windows Ctrl+C
// ends the process; a USB write stopped that way is written again, as after SIGINT.
#pragma once

#include <functional>
#include <memory>

namespace kcftool {

class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void()> handler);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

private:
    struct Installed;
    std::unique_ptr<Installed> installed_;
};

} // namespace kcftool

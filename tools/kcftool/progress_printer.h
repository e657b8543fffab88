// The gauge of a transfer on stderr: on a terminal one percentage that is rewritten in place
// ("\r 42%"), otherwise one line per step of 10 % (for logs and pipes).
#pragma once

#include <cstdio>

namespace kcftool {

class ProgressPrinter {
public:
    // terminal: whether out is a terminal (isatty).
    ProgressPrinter(std::FILE *out, bool terminal) : out_(out), terminal_(terminal) {}

    // The gauge moved. Values at or below the one shown are not shown again: the gauge drops back to
    // 0 at the end of every transfer, which is no news on a console.
    void show(int percent);
    // Ends the percentage line on a terminal, so that a message that follows starts a line of its own.
    void endLine();

private:
    std::FILE *out_;
    bool terminal_;
    int shown_ = -1;
    bool lineOpen_ = false;
};

} // namespace kcftool

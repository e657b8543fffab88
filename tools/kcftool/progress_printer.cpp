#include "progress_printer.h"

namespace kcftool {

void ProgressPrinter::show(int percent)
{
    if (terminal_) {
        if (percent <= shown_)
            return;
        shown_ = percent;
        std::fprintf(out_, "\r%3d%%", percent);
        lineOpen_ = true;
    } else {
        const int step = percent / 10 * 10;
        if (step <= shown_)
            return;
        shown_ = step;
        std::fprintf(out_, "%3d%%\n", step);
    }
    std::fflush(out_);
}

void ProgressPrinter::endLine()
{
    if (!lineOpen_)
        return;
    std::fputc('\n', out_);
    std::fflush(out_);
    lineOpen_ = false;
}

} // namespace kcftool

#include "port_number.h"

namespace talvir {

QString portNumberText(const QString &portName)
{
    int start = int(portName.size());
    while (start > 0 && portName.at(start - 1).isDigit() && portName.at(start - 1).unicode() < 128)
        --start;
    if (start == portName.size())
        return portName;
    // In decimal, as a number: "COM007" is port 7.
    QString digits = portName.mid(start);
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    return digits;
}

} // namespace talvir

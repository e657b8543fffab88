// Minimum widths that keep a box's longest text whole when the window is small (a 1024 x 600
// laptop screen): a box is never squeezed below what its widest sample needs in its own font.
#pragma once

#include <QStringList>

class QLineEdit;

namespace talvir {

// The sample texts of the boxes: an IPv4 address, four hex digits, a port, a phone number.
QStringList addressSamples();
QStringList fourCharSamples();
QStringList portSamples();
QStringList phoneSamples();

// The outer width at which every sample shows whole in edit (font, frame and margins of its style).
int widthForTexts(const QLineEdit *edit, const QStringList &samples);
// Sets that width as edit's minimum.
void keepTextsWhole(QLineEdit *edit, const QStringList &samples);

} // namespace talvir

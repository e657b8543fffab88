// Names that assistive tools (a screen reader, an automated UI test) read for the controls: a box is
// named by the label that stands before it, as a person would say it.
#pragma once

class QWidget;

namespace talvir {

// Every label's buddy under root that has no name yet takes the label's text (without the
// mnemonic '&' and the surrounding blanks).
void nameBoxesByTheirLabels(QWidget *root);

} // namespace talvir

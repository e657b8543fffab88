// The program's start, shared by MXR_600r and MXR_duziv: initialise the application, create the four
// windows in their order, run the event loop.
#pragma once

namespace talvir {

struct Variant;

// Returns the program's exit code: 0 after a confirmed exit, not 0 when start-up failed.
int runApplication(int &argc, char **argv, const Variant &variant);

} // namespace talvir

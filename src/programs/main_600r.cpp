// MXR_600r: the configurator of the transceiver "Талвир ЗКР", 600 panel slots.
#include "console/console_aliases.h"
#include "ui/app_main.h"
#include "core/variant.h"

int main(int argc, char **argv)
{
    // Console mode runs on the demo console beside the program until a console is installed.
    talvir::useDemoConsole();
    return talvir::runApplication(argc, argv, talvir::Variant::mxr600r());
}

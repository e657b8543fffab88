// MXR_600r: the configurator of the transceiver "Талвир ЗКР", 600 panel slots.
#include "ui/app_main.h"
#include "core/variant.h"

int main(int argc, char **argv)
{
    return talvir::runApplication(argc, argv, talvir::Variant::mxr600r());
}

// MXR_duziv: the configurator of the transceiver "Талвир-MXR/ЗКР", 300 panel slots.
#include "ui/app_main.h"
#include "core/variant.h"

int main(int argc, char **argv)
{
    return talvir::runApplication(argc, argv, talvir::Variant::mxrDuziv());
}

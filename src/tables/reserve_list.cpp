#include "reserve_list.h"

namespace talvir {

Dataset *newReserveList(QObject *parent)
{
    auto *list = new Dataset({QStringLiteral("address")}, parent);
    list->setObjectName(QStringLiteral("reserveList"));
    list->setFieldCaption(kReserveAddressField, QStringLiteral("IP-адрес резервного СИ"));
    list->setFieldWidth(kReserveAddressField, kReserveAddressChars);
    return list;
}

} // namespace talvir

#include "large_console.h"

#include "console/paradox_writer.h"
#include "tables/protocol_codes.h"

#include <QDir>
#include <QRandomGenerator>

using talvir::ParadoxField;
using talvir::ParadoxType;

namespace bench {
namespace {

ParadoxField alpha(const char *name, int width) { return {QString::fromLatin1(name), ParadoxType::Alpha, width}; }
ParadoxField longField(const char *name) { return {QString::fromLatin1(name), ParadoxType::Long, 4}; }
ParadoxField logical(const char *name) { return {QString::fromLatin1(name), ParadoxType::Logical, 1}; }

} // namespace

bool writeLargeConsole(const QString &folder, QString &error)
{
    QRandomGenerator rng(20000);
    const QDir dir(folder);
    // Objects 1..5000 report through 12345; the others are spread over 300 other transceivers.
    QList<QVariantList> objects;
    QList<QVariantList> links;
    for (int id = 1; id <= kLargeObjects; ++id) {
        objects.append({id, QStringLiteral("Объект №%1, ул. Длинная, д. %2").arg(id).arg(id % 200), rng.bounded(50) != 0,
                        QStringLiteral("г. Город, район %1").arg(id % 40)});
        const int transceiver = id <= kObjectsOnTransceiver ? kTransceiver : 20000 + id % 300;
        links.append({id, QStringLiteral("N%1").arg(transceiver), 1});
    }
    if (!talvir::writeParadoxTable(dir.filePath(QStringLiteral("ObjList.db")),
                                   {longField("Id"), alpha("Name", 100), logical("Enabled"), alpha("Address", 60)}, objects, error)
        || !talvir::writeParadoxTable(dir.filePath(QStringLiteral("TrnObj.db")),
                                      {longField("ObjRef"), alpha("TrName", 20), longField("IdType")}, links, error))
        return false;

    const std::vector<int> typeIds = talvir::listedTypeIds();
    QList<QVariantList> types;
    for (int id : typeIds)
        types.append({id, QStringLiteral("ППК тип %1").arg(id)});
    types.append({531, QStringLiteral("ППК тип 531")});
    QList<QVariantList> panels;
    for (int i = 0; i < kLargePanels; ++i) {
        const int object = 1 + int(rng.bounded(kLargeObjects));
        const int type = types.at(int(rng.bounded(quint32(types.size())))).at(0).toInt();
        panels.append({object, QStringLiteral("%1").arg(i % 10000, 4, 10, QLatin1Char('0')), type, rng.bounded(2) == 0,
                       QStringLiteral("80%1").arg(501000000 + i), i % 3 ? QVariant() : QVariant(QStringLiteral("80671234567")),
                       30, rng.bounded(10) != 0});
    }
    return talvir::writeParadoxTable(dir.filePath(QStringLiteral("CentralList.db")),
                                     {longField("ObjRef"), alpha("Account", 10), longField("TypeRef"), logical("DefCId"),
                                      alpha("PhoneM", 20), alpha("PhoneM1", 20), longField("WT_GSM"), logical("GSM")},
                                     panels, error)
        && talvir::writeParadoxTable(dir.filePath(QStringLiteral("CentralType.db")),
                                     {longField("TypeId"), alpha("NameCentral", 40)}, types, error);
}

} // namespace bench

// A large monitoring company's console database, as real Paradox tables: 20 000 objects, 5 000 of
// them on the transceiver with factory number 12345, 100 000 panels.
#pragma once

#include <QString>

namespace bench {

constexpr int kLargeObjects = 20000;
constexpr int kObjectsOnTransceiver = 5000;
constexpr int kLargePanels = 100000;
constexpr int kTransceiver = 12345;

// Writes ObjList.db, TrnObj.db, CentralList.db and CentralType.db into folder.
bool writeLargeConsole(const QString &folder, QString &error);

} // namespace bench

#include "panel_type_table.h"

#include "console_aliases.h"
#include "paradox_table.h"

#include <QDir>

namespace talvir {
namespace {

const QString kTableName = QStringLiteral("CentralType.db");

bool isIntegerField(ParadoxType type)
{
    return type == ParadoxType::Short || type == ParadoxType::Long || type == ParadoxType::AutoInc
        || type == ParadoxType::Number;
}

} // namespace

bool PanelTypeTable::openConsole()
{
    close();
    QString folder;
    if (!resolveAlias(QStringLiteral("EditDB"), folder, error_))
        return false;
    return openFile(tablePath(folder, kTableName));
}

bool PanelTypeTable::openStandalone(const QString &folder)
{
    close();
    return openFile(tablePath(folder, kTableName));
}

bool PanelTypeTable::openFile(const QString &path)
{
    close();
    ParadoxTable table;
    if (!readParadoxTable(path, table, error_))
        return false;
    const int idField = table.fieldIndex(QStringLiteral("TypeId"));
    const int nameField = table.fieldIndex(QStringLiteral("NameCentral"));
    if (idField < 0 || !isIntegerField(table.fields.at(idField).type)) {
        error_ = QStringLiteral("В таблице %1 нет числового поля TypeId").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (nameField < 0 || table.fields.at(nameField).type != ParadoxType::Alpha) {
        error_ = QStringLiteral("В таблице %1 нет текстового поля NameCentral").arg(QDir::toNativeSeparators(path));
        return false;
    }
    records_.reserve(table.rows.size());
    for (const QVariantList &row : std::as_const(table.rows)) {
        // A NULL type number counts as 0, as every unset number does in this program.
        records_.append(PanelType{row.at(idField).toInt(), row.at(nameField).toString()});
    }
    pos_ = 0;
    open_ = true;
    return true;
}

void PanelTypeTable::close()
{
    records_.clear();
    pos_ = 0;
    open_ = false;
    error_.clear();
}

bool PanelTypeTable::locate(int typeId)
{
    for (int i = 0; i < records_.size(); ++i) {
        if (records_.at(i).typeId == typeId) {
            pos_ = i;
            return true;
        }
    }
    return false;
}

const PanelType *PanelTypeTable::find(int typeId) const
{
    for (const PanelType &t : records_) {
        if (t.typeId == typeId)
            return &t;
    }
    return nullptr;
}

} // namespace talvir

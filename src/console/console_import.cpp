#include "console_import.h"

#include "console_aliases.h"
#include "core/memory_layout.h"
#include "core/prompts.h"
#include "core/variant.h"
#include "tables/panel_table.h"
#include "tables/protocol_codes.h"

#include <algorithm>

namespace talvir {
namespace {

const QString kObjList = QStringLiteral("ObjList.db");
const QString kTrnObj = QStringLiteral("TrnObj.db");
const QString kCentralList = QStringLiteral("CentralList.db");
const QString kCentralType = QStringLiteral("CentralType.db");

QString text(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString();
}

// The console keeps the number without the country code's "+3"; with it the number is cut to the
// transceiver's field, so the grid shows what the transceiver is given.
QString withPrefix(const QString &phone)
{
    return phone.isEmpty() ? QString() : (QStringLiteral("+3") + phone).left(PanelSlot::PhoneWidth);
}

} // namespace

QString objectQueryText()
{
    return QStringLiteral("select O.Id, O.Name, O.Enabled, T.TrName, T.IdType ")
        + QStringLiteral(" from \"ObjList.db\" as O, \"TrnObj.db\" as T where (substring(T.TrName from 2 for 6)=:PTN)"
                         " and (O.Id=T.ObjRef) and (O.Enabled=true) and (O.Id<>0) order by Id");
}

QString panelQueryText(const Variant &variant)
{
    const QString first = variant.importHasDefCId
        ? QStringLiteral("select L.ObjRef, L.Account, L.TypeRef, L.DefCId, L.PhoneM, L.PhoneM1, L.WT_GSM, T.NameCentral")
        : QStringLiteral("select L.ObjRef, L.Account, L.TypeRef, L.PhoneM, L.PhoneM1, L.WT_GSM, T.NameCentral");
    return first + QStringLiteral(" from \"CentralList.db\" as L, \"CentralType.db\" as T")
        + QStringLiteral(" where (L.ObjRef=:POR) and (L.TypeRef=T.TypeId) and (L.GSM=true)");
}

QString factoryNumberParameter(qint32 factoryNumber)
{
    return QString::number(factoryNumber);
}

QString objectLine(int id, const QString &name)
{
    return QString::number(id).left(30) + QStringLiteral(", ") + name.left(100);
}

void sortByLine(QList<ConsoleObject> &objects)
{
    std::stable_sort(objects.begin(), objects.end(), [](const ConsoleObject &a, const ConsoleObject &b) {
        return a.line.compare(b.line, Qt::CaseInsensitive) < 0;
    });
}

std::optional<PanelRecord> panelRecordFrom(const ConsolePanel &panel, int recNmb, const Variant &variant)
{
    const std::optional<int> prot = importProtocolCode(panel.typeRef, variant);
    if (!prot)
        return std::nullopt;
    PanelRecord r;
    r.slot = recNmb;
    const QString obj = QString::number(panel.objRef);
    r.obj = obj.size() < 4 ? obj.rightJustified(4, QLatin1Char('0')) : obj.left(4);
    r.account = panel.account.left(4);
    if (variant.importHasDefCId && panel.defCId)
        r.account.replace(QLatin1Char('0'), QLatin1Char('A'));
    r.typeId = qint16(panel.typeRef);
    r.phone1 = withPrefix(panel.phoneM);
    r.phone2 = withPrefix(panel.phoneM1);
    r.typeName = panel.nameCentral.left(20);
    r.testWait = panel.wtGsm;
    r.protocolCode = qint16(*prot);
    r.alarmFlag = panel.typeRef > 500 ? 1 : 0;
    return r;
}

ConsoleImport::ConsoleImport(const Variant &variant)
    : variant_(variant)
{
    panelQuery_.setDatabase(&database_);
    panelQuery_.setAlias(QStringLiteral("EditDB"));
    panelQuery_.setSql(panelQueryText(variant));
}

bool ConsoleImport::loadTables(const QString &alias, const QStringList &tables)
{
    QString folder;
    QString why;
    if (!resolveAlias(alias, folder, why)) {
        error_ = why;
        return false;
    }
    for (const QString &table : tables) {
        if (!database_.load(table, tablePath(folder, table), why)) {
            error_ = QStringLiteral("Псевдоним \"%1\", таблица %2: %3").arg(alias, table, why);
            return false;
        }
    }
    return true;
}

bool ConsoleImport::openObjectList(qint32 factoryNumber)
{
    close();
    if (!loadTables(QStringLiteral("TraficDB"), {kObjList, kTrnObj}))
        return false;
    ConsoleQuery objectQuery;
    objectQuery.setDatabase(&database_);
    objectQuery.setAlias(QStringLiteral("TraficDB"));
    objectQuery.setSql(objectQueryText());
    objectQuery.setParam(QStringLiteral("PTN"), factoryNumberParameter(factoryNumber));
    if (!objectQuery.open()) {
        error_ = objectQuery.lastError();
        return false;
    }
    // By name, letter case ignored: a console table may call its field "ID" or "NAME", and SQLite then
    // names the result column as the table does.
    for (objectQuery.first(); !objectQuery.eof(); objectQuery.next()) {
        ConsoleObject o;
        o.id = objectQuery.value(QStringLiteral("Id")).toInt();
        o.name = text(objectQuery.value(QStringLiteral("Name")));
        o.line = objectLine(o.id, o.name);
        objects_.append(o);
    }
    sortByLine(objects_);
    return true;
}

bool ConsoleImport::panelsOf(int objectId, QList<ConsolePanel> &panels)
{
    panels.clear();
    error_.clear();
    if (!panelTablesLoaded_) {
        if (!loadTables(QStringLiteral("EditDB"), {kCentralList, kCentralType}))
            return false;
        database_.addIndex(kCentralList, QStringLiteral("ObjRef"));
        database_.addIndex(kCentralType, QStringLiteral("TypeId"));
        panelTablesLoaded_ = true;
    }
    panelQuery_.setParam(QStringLiteral("POR"), objectId);
    if (!panelQuery_.open()) {
        error_ = panelQuery_.lastError();
        return false;
    }
    for (panelQuery_.first(); !panelQuery_.eof(); panelQuery_.next()) {
        ConsolePanel p;
        p.objRef = panelQuery_.value(QStringLiteral("ObjRef")).toInt();
        p.account = text(panelQuery_.value(QStringLiteral("Account")));
        p.typeRef = panelQuery_.value(QStringLiteral("TypeRef")).toInt();
        p.defCId = variant_.importHasDefCId && panelQuery_.value(QStringLiteral("DefCId")).toInt() != 0;
        p.phoneM = text(panelQuery_.value(QStringLiteral("PhoneM")));
        p.phoneM1 = text(panelQuery_.value(QStringLiteral("PhoneM1")));
        p.wtGsm = panelQuery_.value(QStringLiteral("WT_GSM")).toInt();
        p.nameCentral = text(panelQuery_.value(QStringLiteral("NameCentral")));
        panels.append(p);
    }
    panelQuery_.close();
    return true;
}

ConsoleImport::ObjectImport ConsoleImport::importObject(int line, QList<PanelRecord> &rows, PromptService &prompts)
{
    ObjectImport result;
    QList<ConsolePanel> panels;
    if (!panelsOf(objects_.at(line).id, panels)) {
        prompts.message(QStringLiteral("Конфигурирование"), error_, MessageIcon::Error);
        result.stopped = true;
        return result;
    }
    for (const ConsolePanel &panel : panels) {
        const std::optional<PanelRecord> row = panelRecordFrom(panel, line, variant_);
        if (!row)
            continue; // a type without a protocol code is not imported
        if (rows.size() >= variant_.maxPanels) {
            prompts.message(panelLimitBox());
            result.stopped = true;
            return result;
        }
        const auto same = std::find_if(rows.begin(), rows.end(),
                                       [&](const PanelRecord &r) { return r.account == panel.account; });
        if (same != rows.end()) {
            const QString question = QStringLiteral("ППК № %1, объект № %2 уже существует. Перезаписать?")
                                         .arg(panel.account)
                                         .arg(panel.objRef);
            if (prompts.message(QStringLiteral("Дублирование номера ППК"), question, MessageIcon::Warning,
                                MessageButtons::YesNo, MessageAnswer::None, true) != MessageAnswer::Yes)
                continue;
            rows.erase(same);
        }
        rows.append(*row);
        result.appended = true;
    }
    return result;
}

void ConsoleImport::close()
{
    panelQuery_.close();
    database_.clear();
    objects_.clear();
    panelTablesLoaded_ = false;
    error_.clear();
}

} // namespace talvir

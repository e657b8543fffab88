#include "panel_table.h"

namespace talvir {

namespace {

QStringList fieldNames()
{
    return {QStringLiteral("RecNmb"), QStringLiteral("Obj"),  QStringLiteral("Account"), QStringLiteral("P1"),
            QStringLiteral("P2"),     QStringLiteral("WaitTest"), QStringLiteral("N_PPK"), QStringLiteral("TypeId"),
            QStringLiteral("A_F"),    QStringLiteral("Frmt"), QStringLiteral("Prot")};
}

} // namespace

PanelTable::PanelTable(QObject *parent) : Dataset(fieldNames(), parent)
{
    setObjectName(QStringLiteral("panelTable"));
    const char *captions[kGridColumns] = {"№", "Объект", "ППК", "Телефон 1", "Телефон 2", "Тест", "Тип ППК"};
    for (int f = 0; f < kGridColumns; ++f)
        setFieldCaption(f, QString::fromUtf8(captions[f]));
}

Dataset::Row PanelTable::toRow(const PanelRecord &r)
{
    Row row(FieldCount);
    row[RecNmb] = r.slot ? QVariant(*r.slot) : QVariant();
    row[Obj] = r.obj;
    row[Account] = r.account;
    row[P1] = r.phone1;
    row[P2] = r.phone2;
    row[WaitTest] = r.testWait;
    row[NPpk] = r.typeName;
    row[TypeId] = int(r.typeId);
    row[AF] = int(r.alarmFlag);
    row[Frmt] = int(r.format);
    row[Prot] = int(r.protocolCode);
    return row;
}

PanelRecord PanelTable::toRecord(const Row &row)
{
    // A field nobody set is empty and counts as 0 where a number is needed.
    PanelRecord r;
    const QVariant recNmb = row.value(RecNmb);
    if (recNmb.isValid() && !recNmb.isNull())
        r.slot = recNmb.toInt();
    r.obj = row.value(Obj).toString();
    r.account = row.value(Account).toString();
    r.phone1 = row.value(P1).toString();
    r.phone2 = row.value(P2).toString();
    r.testWait = row.value(WaitTest).toInt();
    r.typeName = row.value(NPpk).toString();
    r.typeId = qint16(row.value(TypeId).toInt());
    r.alarmFlag = qint16(row.value(AF).toInt());
    r.format = qint16(row.value(Frmt).toInt());
    r.protocolCode = qint16(row.value(Prot).toInt());
    return r;
}

PanelRecord PanelTable::row(int r) const
{
    Row values(FieldCount);
    for (int f = 0; f < FieldCount; ++f)
        values[f] = value(r, f);
    return toRecord(values);
}

QList<PanelRecord> PanelTable::rows() const
{
    QList<PanelRecord> out;
    const QList<Row> stored = storedRows();
    out.reserve(stored.size());
    for (const Row &r : stored)
        out.append(toRecord(r));
    return out;
}

void PanelTable::setRows(const QList<PanelRecord> &records)
{
    QList<Row> rows;
    rows.reserve(records.size());
    for (const PanelRecord &r : records)
        rows.append(toRow(r));
    Dataset::setRows(rows);
}

bool PanelTable::appendRow(const PanelRecord &record)
{
    if (!append())
        return false;
    const Row row = toRow(record);
    for (int f = 0; f < FieldCount; ++f)
        setFieldValue(f, row.at(f));
    return post();
}

void PanelTable::sortByObject()
{
    sortRows([](const Row &a, const Row &b) {
        return a.at(Obj).toString().compare(b.at(Obj).toString(), Qt::CaseInsensitive) < 0;
    });
}

PanelRowFault checkPanelNumbers(const QString &obj, const QString &account)
{
    if (obj.size() < 4)
        return PanelRowFault::ObjectNumber;
    if (account.size() < 4)
        return PanelRowFault::PanelNumber;
    return PanelRowFault::None;
}

QString panelRowFaultText(PanelRowFault fault)
{
    switch (fault) {
    case PanelRowFault::ObjectNumber: return QStringLiteral("Не опрелен номер объекта!");
    case PanelRowFault::PanelNumber: return QStringLiteral("Не опрелен номер ППК!");
    case PanelRowFault::None: break;
    }
    return {};
}

QString panelTypeText(const QString &nameCentral)
{
    return nameCentral.left(20);
}

QString unknownPanelTypeText()
{
    return QStringLiteral("Тип ППК не определен");
}

QString panelCountText(int rows)
{
    return QStringLiteral("Количество объектов %1").arg(rows);
}

UserMessage panelLimitBox()
{
    return {QStringLiteral("Ошибка выбора ППК"), QStringLiteral("Превышение допустимого числа ППК"), MessageIcon::None,
            MessageButtons::Ok};
}

} // namespace talvir

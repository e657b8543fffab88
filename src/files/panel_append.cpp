#include "panel_append.h"

#include "tables/panel_table.h"

#include <algorithm>

namespace talvir {

namespace {
QString loadTitle() { return QStringLiteral("Загрузка конфигурации"); }

PanelAppend failed(PanelAppend a, FileFailure kind)
{
    a.failure = kind;
    a.message = kind == FileFailure::Format ? formatMessage() : fatalMessage();
    a.panelArea.clear();
    a.rows.clear();
    return a;
}
} // namespace

UserMessage PanelAppend::questionBox()
{
    return {QStringLiteral("Загрузка списка объектов"), QStringLiteral("Будем добавлять из файла?"),
            MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::None, true};
}

UserMessage PanelAppend::formatBox()
{
    return {loadTitle(), formatMessage(), MessageIcon::Error, MessageButtons::YesNo};
}

UserMessage PanelAppend::fatalBox()
{
    return {loadTitle(), fatalMessage(), MessageIcon::Error, MessageButtons::Ok};
}

UserMessage PanelAppend::failureBox() const
{
    return failure == FileFailure::Format ? formatBox() : fatalBox();
}

UserMessage PanelAppend::limitBox() const
{
    UserMessage box = panelLimitBox();
    box.text += QStringLiteral("\nНе добавлено ППК: %1").arg(leftOut);
    return box;
}

PanelAppend decodePanelAppend(const QByteArray &fileBytes, const Variant &variant, int existingRows,
                              const PanelTypeLookup &typeName)
{
    PanelAppend a;
    const FrameRecords records = splitRecords(fileBytes);
    a.hasFixedRecord = records.hasFixedRecord;
    if (records.failure != FileFailure::None)
        return failed(a, records.failure);
    a.frameRecords = int(records.frames.size());
    const std::optional<int> slotCount = slotsOfFileIn(a.frameRecords, variant);
    if (!slotCount)
        return failed(a, FileFailure::Format);
    a.slotCount = *slotCount;

    a.panelBlockRecord = firstPanelRecord(records.frames);
    if (a.panelBlockRecord < 0)
        return a;
    if (!takePanelBlock(records.frames, a.panelBlockRecord, a.slotCount, a.panelArea))
        return failed(a, FileFailure::Fatal);

    // The table never holds more than the transceiver has slots: a write could not send the rest.
    const int room = std::max(0, variant.maxPanels - existingRows);
    for (PanelRecord row : panelRowsOf(a.panelArea)) {
        if (a.rows.size() == room) {
            ++a.leftOut;
            continue;
        }
        row.slot = existingRows + *row.slot;
        const std::optional<QString> name = typeName ? typeName(row.typeId) : std::nullopt;
        // Cut as the type selector shows it, so the row holds what a later load would show.
        row.typeName = name ? panelTypeText(*name) : unknownPanelTypeText();
        a.rows.append(row);
    }
    return a;
}

PanelAppend appendPanelsFromFile(const QString &path, const Variant &variant, int existingRows,
                                 const PanelTypeLookup &typeName)
{
    const std::optional<QByteArray> bytes = readConfigFileBytes(path);
    if (!bytes)
        return failed(PanelAppend{}, FileFailure::Format);
    return decodePanelAppend(*bytes, variant, existingRows, typeName);
}

} // namespace talvir

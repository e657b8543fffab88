#include "variant.h"

namespace talvir {

const Variant &Variant::mxr600r()
{
    static const Variant v{
        .id = VariantId::Mxr600r,
        .programName = QStringLiteral("MXR_600r"),
        .shortName = QStringLiteral("600r"),
        .maxPanels = 600,
        .captionPrefix = QStringLiteral("Трансивер ЦЛКС \"Талвир ЗКР\" 600 (вер. 13.12.19)"),
        .designCaption = QStringLiteral("Трансивер \"Талвир ЗКР\" (версия 26.04.18)"),
        .applicationTitle = QStringLiteral("Талвир ЗКР"),
        .startupCaption = QStringLiteral("Конфигуратор \"Талвир ЗКР\" 600 (вер. 13.12.19)"),
        .startupItems = {QStringLiteral("работа с пультовым ПО \"КС-Талвир\""), QStringLiteral("работа с другими пультовыми ПО")},
        .linkMenuCaption = QStringLiteral("Канал связи с трансивером"),
        .writeBeforeRead = false,
        .importEnabledAtCreation = true,
        .importEnabledByLoad = true,
        .hasStatusLight = true,
        .hasTypeSelector = true,
        .captionOnSerialLinkUp = true,
        .protocolCaption = QStringLiteral("Протокол передачи в ПЭВМ "),
        .protocolItems = {QStringLiteral("КС-Талвир"), QStringLiteral("Sur-Gard ")},
        .conversionItems = {QStringLiteral("A->0"), QStringLiteral("0->A"), QStringLiteral("Нет")},
        .modeCaption = QStringLiteral("  Режим  "),
        .modeItems = {QStringLiteral("Охранный"), QStringLiteral("Пожарный")},
        .modeAlwaysVisible = false,
        .modeUnsetInConsoleMode = false,
        .protocolResetAtStandaloneStart = true,
        .legacyMapLastCodeOnRead = 24,
        .fileAlways300Slots = false,
        .importTableLacks56x = false,
        .importHasDefCId = true,
    };
    return v;
}

const Variant &Variant::mxrDuziv()
{
    static const Variant v{
        .id = VariantId::MxrDuziv,
        .programName = QStringLiteral("MXR_duziv"),
        .shortName = QStringLiteral("duziv"),
        .maxPanels = 300,
        .captionPrefix = QStringLiteral("Трансивер ЦЛКС \"Талвир-MXR/ЗКР vuzivOZ_300\" (версия 22.08.16)"),
        .designCaption = QStringLiteral("Трансивер \"Талвир-MXR\" (версия 31.05.16)"),
        .applicationTitle = QString(),
        .startupCaption = QStringLiteral("Запуск приложения"),
        .startupItems = {QStringLiteral("MXR/ЗКР-OI ЭЛТОC \"КС-Талвир\""), QStringLiteral("MXR/ ЗКР")},
        .linkMenuCaption = QStringLiteral("Связи с трансивером"),
        .writeBeforeRead = true,
        .importEnabledAtCreation = false,
        .importEnabledByLoad = false,
        .hasStatusLight = false,
        .hasTypeSelector = false,
        .captionOnSerialLinkUp = false,
        .protocolCaption = QStringLiteral("Протокол и канал передачи в ПЭВМ "),
        .protocolItems = {QStringLiteral("АЛТОР КС-Талвир<=>ЛВС"), QStringLiteral("Sur-Gard ContactID<=>USB"), QStringLiteral("Автономный режим")},
        .conversionItems = {QStringLiteral("A->0"), QStringLiteral("0->A")},
        .modeCaption = QStringLiteral("  Тип  "),
        .modeItems = {QStringLiteral("MXR"), QStringLiteral("ЗКР")},
        .modeAlwaysVisible = true,
        .modeUnsetInConsoleMode = true,
        .protocolResetAtStandaloneStart = false,
        .legacyMapLastCodeOnRead = 23,
        .fileAlways300Slots = true,
        .importTableLacks56x = true,
        .importHasDefCId = false,
    };
    return v;
}

const Variant *Variant::byName(const QString &name)
{
    for (const Variant *v : {&mxr600r(), &mxrDuziv()}) {
        if (name == v->shortName || name == v->programName)
            return v;
    }
    return nullptr;
}

} // namespace talvir

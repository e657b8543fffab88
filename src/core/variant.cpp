#include "variant.h"

namespace talvir {

const Variant &Variant::mxr600r()
{
    static const Variant v{
        VariantId::Mxr600r,
        QStringLiteral("MXR_600r"),
        QStringLiteral("600r"),
        600,
        QStringLiteral("Трансивер ЦЛКС \"Талвир ЗКР\" 600 (вер. 13.12.19)"),
        QStringLiteral("Трансивер \"Талвир ЗКР\" (версия 26.04.18)"),
        QStringLiteral("Талвир ЗКР"),
        QStringLiteral("Конфигуратор \"Талвир ЗКР\" 600 (вер. 13.12.19)"),
        {QStringLiteral("работа с пультовым ПО \"КС-Талвир\""), QStringLiteral("работа с другими пультовыми ПО")},
        QStringLiteral("Канал связи с трансивером"),
        false,
        true,
        true,
        true,
        true,
        true,
        QStringLiteral("Протокол передачи в ПЭВМ "),
        {QStringLiteral("КС-Талвир"), QStringLiteral("Sur-Gard ")},
        {QStringLiteral("A->0"), QStringLiteral("0->A"), QStringLiteral("Нет")},
        QStringLiteral("  Режим  "),
        {QStringLiteral("Охранный"), QStringLiteral("Пожарный")},
        false,
        false,
        true,
        false,
        24,
        false,
        false,
        true,
    };
    return v;
}

const Variant &Variant::mxrDuziv()
{
    static const Variant v{
        VariantId::MxrDuziv,
        QStringLiteral("MXR_duziv"),
        QStringLiteral("duziv"),
        300,
        QStringLiteral("Трансивер ЦЛКС \"Талвир-MXR/ЗКР vuzivOZ_300\" (версия 22.08.16)"),
        QStringLiteral("Трансивер \"Талвир-MXR\" (версия 31.05.16)"),
        QString(),
        QStringLiteral("Запуск приложения"),
        {QStringLiteral("MXR/ЗКР-OI ЭЛТОC \"КС-Талвир\""), QStringLiteral("MXR/ ЗКР")},
        QStringLiteral("Связи с трансивером"),
        true,
        false,
        false,
        false,
        false,
        false,
        QStringLiteral("Протокол и канал передачи в ПЭВМ "),
        {QStringLiteral("АЛТОР КС-Талвир<=>ЛВС"), QStringLiteral("Sur-Gard ContactID<=>USB"),
         QStringLiteral("Автономный режим")},
        {QStringLiteral("A->0"), QStringLiteral("0->A")},
        QStringLiteral("  Тип  "),
        {QStringLiteral("MXR"), QStringLiteral("ЗКР")},
        true,
        true,
        false,
        true,
        23,
        true,
        true,
        false,
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

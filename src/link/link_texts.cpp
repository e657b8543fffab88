#include "link_texts.h"

#include "link/port_number.h"
#include "link/serial_port_access.h"

namespace talvir::linktext {

namespace {
QString configuring() { return QStringLiteral("Конфигурирование трансивера"); }
QString linkTitle() { return QStringLiteral("Связь с трансивером"); }
UserMessage topmost(const QString &title, const QString &text, MessageIcon icon)
{
    return {title, text, icon, MessageButtons::Ok, MessageAnswer::None, true};
}
} // namespace

QString usbPortCaption(const QString &portName) { return QStringLiteral("      Канал USB Com") + portNumberText(portName); }

UserMessage noComPort(const QString &port, const QString &reason)
{
    UserMessage box{QStringLiteral("Оборудование"), QStringLiteral("Нет доступного Com-порта. Работа в автономном режиме!"),
                    MessageIcon::Error};
    if (!port.isEmpty())
        box.text += QStringLiteral("\n\n") + explainSerialPortFailure(port, reason);
    return box;
}

UserMessage writeDone(const QString &factoryNumber)
{
    return topmost(configuring(),
                   QStringLiteral("Запись конфигурации трансивера № ") + factoryNumber + QStringLiteral(" выполнена"),
                   MessageIcon::Information);
}
UserMessage writeRefused()
{
    return topmost(configuring(), QStringLiteral("Ошибка при записи конфигурации"), MessageIcon::Error);
}
UserMessage noAnswer() { return topmost(linkTitle(), QStringLiteral("Трансивер не отвечает"), MessageIcon::Error); }
UserMessage noBlockAnswer()
{
    return topmost(linkTitle(), QStringLiteral("Трансивер не отвечает "), MessageIcon::Error);
}
UserMessage readDone(quint32 factoryNumber)
{
    return topmost(configuring(),
                   QStringLiteral("Чтение конфигурации трансивера № ") + QString::number(factoryNumber) +
                       QStringLiteral(" выполнено."),
                   MessageIcon::Information);
}
UserMessage transferAbandoned()
{
    return {linkTitle(), QStringLiteral("Обмен с трансивером прерван."), MessageIcon::None};
}
UserMessage readFailed()
{
    return topmost(linkTitle(), QStringLiteral("Ошибка при чтение конфигурации."), MessageIcon::Error);
}

UserMessage transferMessage(const TransferResult &result, const QString &writtenFactoryNumber)
{
    const bool read = result.kind == TransferKind::Read;
    switch (result.outcome) {
    case TransferOutcome::Succeeded:
        return read ? readDone(result.factoryNumber) : writeDone(writtenFactoryNumber);
    case TransferOutcome::Refused:
        return writeRefused();
    case TransferOutcome::NoAnswer:
        if (read)
            return readFailed();
        return result.objectBlockUnanswered ? noBlockAnswer() : noAnswer();
    case TransferOutcome::Incomplete:
        return readFailed();
    case TransferOutcome::StoreFailed:
        return storeFailed();
    case TransferOutcome::PortLost:
        return noAnswer();
    case TransferOutcome::Abandoned:
        break;
    }
    return transferAbandoned();
}

} // namespace talvir::linktext

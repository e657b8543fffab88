// A message the link wants the technician to see, as data: the window shows it in a message box,
// a command-line tool prints it. Also the fixed texts of the two links.
#pragma once

#include <QString>

namespace talvir {

enum class MessageIcon { None, Information, Warning, Error };

struct LinkMessage {
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
    bool topmost = false;

    bool isEmpty() const { return text.isEmpty(); }
    bool operator==(const LinkMessage &) const = default;
};

namespace linktext {

// Serial channel.
inline LinkMessage noComPort()
{
    return {QStringLiteral("Нет доступного Com-порта. Работа в автономном режиме!"), QStringLiteral("Оборудование"),
            MessageIcon::Error, false};
}
inline LinkMessage typeRejected()
{
    return {QStringLiteral("Ошибка выбора типа ППК!"), QStringLiteral("Фатальная ошибка"), MessageIcon::Error, false};
}
// OK button only, no icon.
inline LinkMessage storeFailed()
{
    return {QStringLiteral("Отказ оборудования"), QStringLiteral("Ошибка при записи ППЗУ"), MessageIcon::None, false};
}
inline QString noLinkStatus() { return QStringLiteral("Нет связи"); }

// LAN channel.
inline QString defaultTransceiverAddress() { return QStringLiteral("192.168.1.221"); }
inline QString lanInputCaption() { return QStringLiteral("Работа по ЛВС"); }
inline QString lanInputPrompt() { return QStringLiteral("Введите IP-адрес трансивера"); }
inline LinkMessage badTransceiverAddress()
{
    return {QStringLiteral("Недопустимый IP-адрес трансивера."), QStringLiteral("Ошибка"), MessageIcon::Error, true};
}
inline QString connectingStatus(const QString &address) { return QStringLiteral("Соединение с ") + address; }
inline QString noLanLinkStatus(const QString &address) { return QStringLiteral("Нет связи с ") + address; }

// Transfers.
inline LinkMessage writeDone(const QString &serialNumberText)
{
    return {QStringLiteral("Запись конфигурации трансивера № ") + serialNumberText + QStringLiteral(" выполнена"),
            QStringLiteral("Конфигурирование трансивера"), MessageIcon::Information, true};
}
inline LinkMessage writeRefused()
{
    return {QStringLiteral("Ошибка при записи конфигурации"), QStringLiteral("Конфигурирование трансивера"),
            MessageIcon::Error, true};
}
// A command or the final "AT+CONFIG" unanswered, and a serial write the transceiver stopped answering.
inline LinkMessage noAnswer()
{
    return {QStringLiteral("Трансивер не отвечает"), QStringLiteral("Связь с трансивером"), MessageIcon::Error, true};
}
// An object block of a LAN write unanswered (the trailing blank is the transceiver software's own).
inline LinkMessage noBlockAnswer()
{
    return {QStringLiteral("Трансивер не отвечает "), QStringLiteral("Связь с трансивером"), MessageIcon::Error, true};
}
inline LinkMessage readDone(quint32 serialNumber)
{
    return {QStringLiteral("Чтение конфигурации трансивера № ") + QString::number(serialNumber) +
                QStringLiteral(" выполнено."),
            QStringLiteral("Конфигурирование трансивера"), MessageIcon::Information, true};
}
// A transfer ended by exit, an interrupt or the port closed under it. The window says nothing then
// (the technician ended it); a command-line tool prints it.
inline LinkMessage transferAbandoned()
{
    return {QStringLiteral("Обмен с трансивером прерван."), QStringLiteral("Связь с трансивером"), MessageIcon::None,
            false};
}
inline LinkMessage readFailed()
{
    return {QStringLiteral("Ошибка при чтение конфигурации."), QStringLiteral("Связь с трансивером"), MessageIcon::Error,
            true};
}

} // namespace linktext

} // namespace talvir

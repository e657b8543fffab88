// The fixed texts of the two links and of the transfers, and the words for a transfer's end: the
// window shows them in message boxes and its status line, a command-line tool prints them.
#pragma once

#include "core/user_message.h"
#include "link/transfer_result.h"

namespace talvir::linktext {

// The window's caption after its fixed prefix.
inline QString autonomousCaption() { return QStringLiteral("      Автономный режим"); }
QString usbPortCaption(const QString &portName);
inline QString usbLinkUpCaption() { return QStringLiteral("    Связь по каналу USB"); }
inline QString lanCaption(const QString &address) { return QStringLiteral("      Канал LAN IP: ") + address; }

// Serial channel.
inline QString portPickerTitle() { return QStringLiteral("Выбор Com-порта"); }
// A port that could not be opened: the second paragraph says which port and why, so the technician
// can fix it (none when no port was chosen).
UserMessage noComPort(const QString &port, const QString &reason);
inline UserMessage typeRejected()
{
    return {QStringLiteral("Фатальная ошибка"), QStringLiteral("Ошибка выбора типа ППК!"), MessageIcon::Error};
}
// OK button only, no icon.
inline UserMessage storeFailed()
{
    return {QStringLiteral("Ошибка при записи ППЗУ"), QStringLiteral("Отказ оборудования"), MessageIcon::None};
}
inline QString noLinkStatus() { return QStringLiteral("Нет связи"); }
// The second paragraph of the box of a write that stopped part-way (silence, 0x25, a lost port,
// retransmissions used up): the transceiver may hold part of the new configuration.
inline QString partialWriteNote()
{
    return QStringLiteral("\n\nЗапись прервана: трансивер может хранить только часть новой конфигурации. "
                          "Повторите запись.");
}

// LAN channel.
inline QString defaultTransceiverAddress() { return QStringLiteral("192.168.1.221"); }
inline QString lanInputCaption() { return QStringLiteral("Работа по ЛВС"); }
inline QString lanInputPrompt() { return QStringLiteral("Введите IP-адрес трансивера"); }
inline UserMessage badTransceiverAddress()
{
    return {QStringLiteral("Ошибка"), QStringLiteral("Недопустимый IP-адрес трансивера."), MessageIcon::Error,
            MessageButtons::Ok, MessageAnswer::None, true};
}
inline QString connectingStatus(const QString &address) { return QStringLiteral("Соединение с ") + address; }
inline QString noLanLinkStatus(const QString &address) { return QStringLiteral("Нет связи с ") + address; }

// Transfers.
// A write started while no transceiver answers: nothing goes out.
inline UserMessage noTransceiverForWrite()
{
    return {QStringLiteral("Связь с трансивером"), QStringLiteral("Нет связи с трансивером. Конфигурация не записана."),
            MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::None, true};
}
UserMessage writeDone(const QString &factoryNumber);
UserMessage writeRefused();
// A command or the final "AT+CONFIG" unanswered, and a serial write the transceiver stopped answering.
UserMessage noAnswer();
// An object block of a LAN write unanswered (the trailing blank is the transceiver software's own).
UserMessage noBlockAnswer();
UserMessage readDone(quint32 factoryNumber);
// A transfer ended by exit, an interrupt or the port closed under it. The window says nothing then
// (the technician ended it); a command-line tool prints it.
UserMessage transferAbandoned();
UserMessage readFailed();

// What the technician is told of a transfer's end. writtenFactoryNumber: the factory number of the
// configuration a write sent, as typed; a read names the number it received.
UserMessage transferMessage(const TransferResult &result, const QString &writtenFactoryNumber);

} // namespace talvir::linktext

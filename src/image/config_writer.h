// The write of a configuration up to the frames: the settings checks in their fixed order, the
// image filled from the model as the checks pass, the panel rows in slots, and the send list.
// Used by the device write, the save to a file and kcftool.
#pragma once

#include "core/config_model.h"
#include "image/config_image.h"
#include "link/frames.h"

#include <QString>
#include <optional>

namespace talvir {

// A refused configuration. A failed check: the message box text (title "Ошибка", error icon) and the
// object name of the control that gets the input focus. A text that is not a whole number (a port,
// the factory number, a part of an address): the platform's conversion message and no control; the
// windows show it as their general error report.
struct WriteRefusal {
    enum Kind { FailedCheck, NotANumber };
    QString message;
    QString control;
    Kind kind = FailedCheck;
    bool operator==(const WriteRefusal &) const = default;
};

// "Не определен заводской номер": the write and the save refuse a configuration without one.
QString noFactoryNumberMessage();

// Fills image from config as the write command does, in its order:
//  1. settings byte 0 = 0, byte 1 = Dhcp;
//  2. the seven checks (factory number, server port, local port, server address, local address,
//     gateway, APN), each storing its value as soon as it passes, so a refusal leaves the image
//     with the values of the checks before it;
//  3. the constant 9999, the speed text, the test period, the ModeByte (modeControlEnabled:
//     whether the mode control is enabled in the window; see talvir::modeControlEnabled) and the 80
//     reserve servers;
//  4. every slot cleared and row n of config.panels encoded into slot n.
// Settings bytes 94-96 keep what the image holds. More rows than slots are refused with the panel
// table's own limit message before any slot is touched.
// Returns the refusal, or nothing when the image is complete.
std::optional<WriteRefusal> fillImage(ConfigImage &image, const TransceiverConfig &config, bool modeControlEnabled);

// One write frame per image byte, address order: slot 1 byte 0 up to slot MaxPanels byte 46, then
// settings bytes 0 to 421. The list is emptied first.
void buildSendList(const ConfigImage &image, SendList &list);

// fillImage followed by buildSendList when it passes; the list is emptied first either way.
std::optional<WriteRefusal> prepareWrite(ConfigImage &image, const TransceiverConfig &config,
                                         bool modeControlEnabled, SendList &list);

// The number a port or factory-number text stands for, as the write takes it; nothing (with the
// platform's conversion message in *error) when the text is not a whole number.
std::optional<quint16> portValue(const QString &text, QString *error = nullptr); // low 16 bits: "70000" -> 4464
std::optional<quint32> serialNumberValue(const QString &text, QString *error = nullptr); // up to 4294967295

} // namespace talvir

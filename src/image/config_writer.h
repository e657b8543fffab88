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

// A refused configuration: the message box text (title "Ошибка", error icon) and the object name of
// the control that gets the input focus.
struct WriteRefusal {
    QString message;
    QString control;
    bool operator==(const WriteRefusal &) const = default;
};

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
// Throws ConversionError (from ipFromText or a number text that is not a whole number); the caller
// reports it as the platform's conversion error and the write stops there.
std::optional<WriteRefusal> fillImage(ConfigImage &image, const TransceiverConfig &config, bool modeControlEnabled);

// One write frame per image byte, address order: slot 1 byte 0 up to slot MaxPanels byte 46, then
// settings bytes 0 to 421. The list is emptied first.
void buildSendList(const ConfigImage &image, SendList &list);

// fillImage followed by buildSendList when it passes; the list is emptied first either way.
std::optional<WriteRefusal> prepareWrite(ConfigImage &image, const TransceiverConfig &config,
                                         bool modeControlEnabled, SendList &list);

// The number a port or factory-number text stands for, as the write takes it. Throws ConversionError.
quint16 portValue(const QString &text);     // low 16 bits: "70000" -> 4464
quint32 serialNumberValue(const QString &text); // 32-bit, up to 4294967295

} // namespace talvir

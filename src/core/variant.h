// The two programs built from this code base differ only in the values held here.
// Every place that behaves differently between MXR_600r and MXR_duziv reads a field of Variant.
#pragma once

#include "core/memory_layout.h"

#include <QString>
#include <QStringList>

namespace talvir {

enum class VariantId { Mxr600r, MxrDuziv };

// Fields are set by name (designated initializers), so two swapped flags cannot compile silently.
struct Variant {
    VariantId id;
    QString programName;          // "MXR_600r" / "MXR_duziv"
    QString shortName;            // "600r" / "duziv": the --variant value of the tools
    int maxPanels;                // panel slots in the transceiver's memory

    // Captions of the main window and the start-up window.
    QString captionPrefix;        // every caption the program sets starts with it
    // The main window's caption with this suffix (the link or the mode it is in).
    QString caption(const QString &suffix) const { return captionPrefix + suffix; }
    QString designCaption;        // replaced before the technician sees the window
    QString applicationTitle;     // empty: the program sets none
    QString startupCaption;       // caption of the start-up choice
    QStringList startupItems;     // item 0 selects console mode

    // Main menu.
    QString linkMenuCaption;      // the submenu with "USB" and "LAN"
    bool writeBeforeRead;         // "Записать" stands before "Прочитать"
    bool importEnabledAtCreation; // start-up decides afterwards in both programs
    bool importEnabledByLoad;     // standalone mode: the first loaded file enables "Импорт"

    // Controls that exist in one program only.
    bool hasStatusLight;          // ch1IP and the LAN status datagram
    bool hasTypeSelector;         // the type drop-down (panelTypeCombo); otherwise the type grid with its small navigator
    bool captionOnSerialLinkUp;   // "    Связь по каналу USB" replaces the port caption

    // Settings panel.
    QString protocolCaption;
    QStringList protocolItems;
    QStringList conversionItems;
    QString modeCaption;
    QStringList modeItems;
    bool modeAlwaysVisible;       // duziv: the type switch is disabled instead of hidden
    bool modeUnsetInConsoleMode;  // duziv: console mode starts with no type chosen
    bool protocolResetAtStandaloneStart; // 600r sets the protocol switch to item 0 in standalone mode

    // Decoding rules.
    int legacyMapLastCodeOnRead;  // 24; duziv translates 0..23 only when reading a transceiver
    bool fileAlways300Slots;      // duziv does not look at the record count of a file
    bool importTableLacks56x;     // duziv imports no panels of types 560, 561, 562
    bool importHasDefCId;         // the panel query of 600r fetches L.DefCId

    int settingsBase() const { return maxPanels * kSlotSize; }
    int imageSize() const { return settingsBase() + kSettingsSize; }
    int frameCount() const { return imageSize(); }
    int objectBlocks() const { return maxPanels / 5; }

    static const Variant &mxr600r();
    static const Variant &mxrDuziv();
    // "600r" or "duziv" (also the program names); nullptr for anything else.
    static const Variant *byName(const QString &name);
};

} // namespace talvir

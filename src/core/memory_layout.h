// The layout of the transceiver's configuration memory, named once for every view of it (the image,
// the file format, the transfer, the simulator, the windows): the panel slots, the settings block
// that follows them, the offsets inside both, and the limits of the values stored there.
#pragma once

namespace talvir {

constexpr int kSlotSize = 47;
constexpr int kSettingsSize = 422;

// The test period the transceiver takes, in seconds.
constexpr int kTestPeriodMin = 1;
constexpr int kTestPeriodMax = 3600;
// Digits a factory number and a port may have where they are typed.
constexpr int kFactoryNumberDigits = 5;
constexpr int kPortDigits = 5;

// Offsets inside one panel slot.
namespace PanelSlot {
constexpr int P1 = 0, PhoneWidth = 13;
constexpr int P2 = 13;
constexpr int Account = 26, AccountWidth = 4; // byte 26 zero: the slot is empty
constexpr int Obj = 30, ObjWidth = 4;
constexpr int TypeLow = 34;
constexpr int Prot = 35;
constexpr int WaitSeconds = 36; // unsigned 32-bit
constexpr int TypeHigh = 45;    // also read back as A_F
constexpr int Frmt = 46;
static_assert(Frmt + 1 == kSlotSize);
} // namespace PanelSlot

// Offsets inside the settings block (its address is the variant's settingsBase() plus the offset).
namespace SettingsBlock {
constexpr int Zero = 0;
constexpr int Dhcp = 1;
constexpr int ServerIp = 2;
constexpr int LocalIp = 6;
constexpr int GatewayIp = 10;
constexpr int FactoryNumber = 14;
constexpr int ServerPort = 18;
constexpr int LocalPort = 20;
constexpr int Apn = 22, ApnWidth = 64;
constexpr int Constant9999 = 86;
constexpr int Baud = 88, BaudWidth = 6;
constexpr int Kept = 94, KeptWidth = 3; // the transceiver's own bytes: never derived from the model
constexpr int TestPeriod = 97;
constexpr int ModeByte = 101;
constexpr int Reserve = 102, ReserveWidth = 80 * 4;
static_assert(Reserve + ReserveWidth <= kSettingsSize);
} // namespace SettingsBlock

} // namespace talvir

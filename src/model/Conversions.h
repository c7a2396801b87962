#pragma once
// The conversions between the settings blocks and the editor's fields.
//
// Decoders take the block's bytes and the editor's current values and set
// only what the block decides; every other member keeps what it held. They
// return false, touching nothing, when the bytes are fewer than the block's
// size. They run no editor rule: after the call the Qt layer writes the
// values back to the widgets and then runs, by hand, the rules named at each
// decoder. While writing back it sets texts and list positions without
// running their rules, and check boxes and radio buttons with their signals
// live, so a state that really changes runs its click rule as a user's
// click would; members are written back in the order they are declared.
//
// Encoders start from an all-zero block and never fail: a text that is not
// a number takes the field's default (ReadDecimal), and a number is stored
// truncated to its field's width.
//
// `firmwareVersion` is the version the editor currently works with, which
// for a profile is not the profile's own; `layout` picks the NetConf layout
// (the device's generation, or the profile's).
#include "model/FormValues.h"
#include "model/Structs.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace plendoro {

// After a device read (not after a profile load) the Qt layer runs
// cbWriteMethodChange.
bool DecodeMainConf(std::span<const std::uint8_t> block, MainConfValues& values);
std::array<std::uint8_t, kMainConfSize> EncodeMainConf(const MainConfValues& values);

// `localHourOffset` is LocalHourOffset: whole hours local time is ahead of
// UTC, any sign or size; it acts modulo 24.
// Afterwards the Qt layer runs cbSendMethodChange, cbEncryptChange and
// rbDHCPIpClick; writing back rbDHCPIp/rbManualIp and transfNMEA runs
// rbDHCPIpClick and transfNMEAClick when their states change.
bool DecodeNetConf(FirmwareGeneration layout, std::span<const std::uint8_t> block, int firmwareVersion,
                   int localHourOffset, NetConfValues& values);
std::vector<std::uint8_t> EncodeNetConf(FirmwareGeneration layout, const NetConfValues& values, int firmwareVersion,
                                        int localHourOffset);

// Afterwards the Qt layer runs, in this order: pcInputsChange;
// cbAIn1AsDigitalClick; cbAIn2AsDigitalClick; cbAIn1AdaptiveClick;
// cbAIn2AdaptiveClick; rbIn1BaseClick for inputs 1 to 8 with rbInNBase as
// the sender; cbSendEvtLvlIn1Change for inputs 1 to 8 with cbInNLevel as the
// sender; edIn1DurationExit for inputs 1 to 8 with edInNDuration as the
// sender. edAInKDigLevel may receive any 16-bit value; the spin field keeps
// it inside its own range.
bool DecodeInputsConf(std::span<const std::uint8_t> block, int firmwareVersion, InputsConfValues& values);
std::array<std::uint8_t, kInputsConfSize> EncodeInputsConf(const InputsConfValues& values, int firmwareVersion);

// Afterwards the Qt layer runs cbLLSAddr1Click once for each sensor, with
// cbLLSAddr1 … cbLLSAddr8 as the sender; writing back cbRS485EnableGlonass
// runs its click rule when its tick changes.
bool DecodeRs485Conf(std::span<const std::uint8_t> block, int firmwareVersion, Rs485ConfValues& values);
std::array<std::uint8_t, kRs485ConfSize> EncodeRs485Conf(const Rs485ConfValues& values, int firmwareVersion);

// Replaces `foundCanParameters` (FoundCanParameters) with the block's
// entries, data words 0. Afterwards the Qt layer empties the four CAN list
// boxes and memCANDetail, as ClearCanParameters does, and runs
// RebuildCanLists.
bool DecodeCanConf(std::span<const std::uint8_t> block, std::vector<TCANId_V3>& foundCanParameters,
                   CanConfValues& values);
// Recorded entries first, then the others, at most 30 in all.
std::array<std::uint8_t, kCanConfSize> EncodeCanConf(const std::vector<TCANId_V3>& foundCanParameters,
                                                     const CanConfValues& values);

// Applies the page defaults first (btn1wireAsDefaultClick's values), then
// the block. Afterwards the Qt layer runs cbIbReadAnyClick (sender
// cbIbReadAny), cbItempAddr1Click for slots 1 to 8 (senders cbItempAddr1 …
// cbItempAddr8) and cbItempReadAllClick (sender cbItempReadAll), in this
// order.
bool DecodeOneWireConf(std::span<const std::uint8_t> block, OneWireConfValues& values);
// Unticks a slot whose address text does not read; the Qt layer writes that
// tick back, which runs the slot's click rule.
std::array<std::uint8_t, kOneWireConfSize> EncodeOneWireConf(OneWireConfValues& values);

// The 1-Wire page defaults as data: any key accepted, key list and key edit
// empty, one-sensor and pulse boxes unticked, all slots unticked and empty,
// both period edits "0" and disabled.
void SetOneWireDefaults(OneWireConfValues& values);

} // namespace plendoro

// Where the phone is: the identity of the serving cell tower and the MAC
// text of the strongest access point in reach. Both readings hold the one
// sensing lock of the process for their whole run, so they never overlap
// each other or themselves (the engine's evaluation, its sensing thread and
// the configuration program's capture all read through here).
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

namespace tlw {

// Capacity of an access-point text, in characters with the terminator.
constexpr size_t kAccessPointTextCapacity = 32;

// Creates and deletes the sensing lock (engine start-up and shut-down; the
// readings create it on first use in other programs).
void InitSensing();
void DeleteSensing();
// The sensing lock itself, for the access-point search.
std::recursive_mutex& SensingLock();

// `ReadCellTower`: location area code * 65536 + cell id of the serving
// cell; 0 when there is none (no ril.dll, no answer within 5 s, radio off,
// or a cell id of 0).
uint32_t ReadCellTower();

// `FindStrongestAccessPoint`: fills text (capacity characters, at least
// kAccessPointTextCapacity) with the MAC text of the strongest usable access
// point of a scan and returns true; false with an empty text when none is
// usable or no wireless adapter answers. Wi-Fi is switched on for the scan
// and back to its former state afterwards (left on when no adapter answers).
bool FindStrongestAccessPoint(char16_t* text, size_t capacity);

// The index of the strongest usable access point of a scan, given each
// one's signal in dBm as the driver reports it, or -1. A value below -30000
// carries the dBm in its upper 16 bits; -90 and weaker is ignored; anything
// stronger than -30 counts as -30, so the first listed of the strongest wins.
int ChooseStrongestAccessPoint(const int32_t* signals, size_t count);

}  // namespace tlw

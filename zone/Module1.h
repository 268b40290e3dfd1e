#pragma once

#include <array>
#include <cstdint>
#include <string>

// The zone settings store: the five Internet-zone values of the current user (see
// zone_settings.h), read into ZoneValues and written one at a time or as a fixed set.
namespace Module1 {

// The values found by the last ReadZoneValues, in kZoneSettings order. Writes leave it alone.
extern std::array<std::int32_t, 5> ZoneValues;
// The value the next WriteZoneValue stores; -1 after every write.
extern std::int32_t PendingValue;

// Reads the five values into ZoneValues; a missing key or value, or one that cannot be read,
// reads as 0.
void ReadZoneValues();
// Writes PendingValue as the DWORD value valueName, creating the zone key when missing. Then
// PendingValue is -1 and valueName empty, whatever happened. True when the write succeeded.
bool WriteZoneValue(std::wstring& valueName);
// Writes the default value of every setting; true when all five writes succeeded (a failed
// write does not stop the others).
bool WriteDefaultValues();
// Writes the disabled value of every setting; true when all five writes succeeded.
bool WriteAllDisabled();

} // namespace Module1

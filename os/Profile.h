#pragma once
// The three profile functions of the old platform, over the system profile file
// (TProfileFile::SystemProfilePath). As there, nothing is reported to the caller: a read that
// fails behaves as a missing key, and a failed write is lost.
#include <cstdint>

// The integer under KeyName in AppName, or Default when missing or empty.
int32_t GetProfileIntA(const char* AppName, const char* KeyName, int32_t Default);

// Copies the value (or Default when the key is missing) into ReturnedString: at most Size - 1
// characters and a terminating zero. Answers the number of characters copied, without the zero.
uint32_t GetProfileStringA(const char* AppName, const char* KeyName, const char* Default, char* ReturnedString,
                           uint32_t Size);

// Writes String under KeyName in AppName; true when written. A null argument is a refused write.
bool WriteProfileStringA(const char* AppName, const char* KeyName, const char* String);

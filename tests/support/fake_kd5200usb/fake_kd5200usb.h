#pragma once
// Control functions of the scripted fake device library.
//
// Every KD5200_* call is recorded as one line "Name(arg, arg, ...)": integers
// in decimal, strings in double quotes, pointers as null or ptr, the handle
// as h. The lines are kept in memory (FakeKD5200_Log) and, when the
// environment variable FAKE_KD5200_LOG names a file, appended to it.
//
// Results are scripted per function: a line "Name result [error [windowsError]]"
// is used by the next call of Name; a line "Name* result [error [windowsError]]"
// becomes Name's result for every call without a one-shot line. A call with
// no script succeeds (result 1, error unchanged). A failing result (0) sets
// the error codes. Lines come from FakeKD5200_Script or from the file named
// by FAKE_KD5200_SCRIPT (read at the first call and at every reset).
#include "lib/device/kd5200usb.h"

#ifdef __cplusplus
extern "C" {
#endif

// Forgets the log, the script, the memories and the font; re-reads FAKE_KD5200_SCRIPT.
void FakeKD5200_Reset(void);
// Adds one script line.
void FakeKD5200_Script(const char* line);
// The calls recorded since the last reset, one per line.
const char* FakeKD5200_Log(void);
// What KD5200_Refresh of a memory fills in (count entries, at most 512).
void FakeKD5200_SetMemory(int32_t memory, const KD5200_MEMINFO* info,
                          const KD5200_DIRENTRY* entries, int32_t count);
// The text KD5200_GetFirmwareVersionString returns (NULL: none).
void FakeKD5200_SetFirmwareVersion(const char* text);
// The record KD5200_GetFontInfo fills in.
void FakeKD5200_SetFont(const KD5200_FONTINFO* font);
// The receive and send time-outs last set.
void FakeKD5200_GetTimeouts(int32_t* receiveMs, int32_t* sendMs);

#ifdef __cplusplus
}
#endif

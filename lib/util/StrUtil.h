// String and path helpers that honour double-byte code pages.
#pragma once
#include "../Panorel32.h"

// Reads the lead-byte ranges of a code page (the ANSI code page by default) and turns
// double-byte handling on when a character can take more than one byte.
PANOREL32_API void InitMBCS(UINT codePage = CP_ACP);
// True when double-byte handling is on and the byte starts a two-byte character.
PANOREL32_API bool IsLead(BYTE c);

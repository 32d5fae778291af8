// Path helpers on 8-bit ANSI paths. Every scan steps over a double-byte character whole, so a
// trail byte equal to "\" or "/" is never taken for a separator. Helpers work in place on the
// caller's buffer; size is the whole buffer (MAX_PATH unless told), and a result that does not
// fit is cut on a character boundary, never written past it.
#pragma once
#include "../Panorel32.h"

// "\" or "/".
PANOREL32_API bool IsSep(char c);

// Appends "\" unless the text ends in "\" or "/"; an empty text stays empty. True when the
// text ends in a separator afterwards; false on null, empty or a full buffer.
PANOREL32_API bool AppendBackSlash(char* path, int size = MAX_PATH);
// Removes a final separator unless the character before it is "\", "/" or ":" (so "C:\" and a
// lone "\" stay). True when it removed one.
PANOREL32_API bool RemoveBackSlash(char* path);
// Removes a final separator in any case. True when it removed one.
PANOREL32_API bool StripBackSlash(char* path);
// Cuts after the last ":", "\" or "/" (kept); a text without one becomes empty. True when a
// folder part remains.
PANOREL32_API bool StripFileName(char* path);
// Cuts at the last "." of the name part; a name without one is unchanged. True when it cut.
PANOREL32_API bool StripFileExt(char* path);
// The name after the last separator (or the whole text); null for null, empty, or a text that
// ends in a separator.
PANOREL32_API const char* FindNameExt(const char* path);
PANOREL32_API char* FindNameExt(char* path);
// Removes one final separator, then gives the text after the last remaining one (or the whole
// text). Null for null.
PANOREL32_API char* FindLastPathComponent(char* path);

// out = folder, "\" when missing, name, and for a non-empty ext a "." (unless ext starts with
// one) and ext. out may be folder itself. False when the result was cut or out is null.
PANOREL32_API bool MakePath(char* out, const char* folder, const char* name,
                            const char* ext = nullptr, int size = MAX_PATH);
// Trims blanks and quotes, turns "/" into "\", makes a relative path absolute against base
// and folds "." and ".." (never above the root). A path starting with one "\" takes the base's
// drive or share. False for null or empty path, a relative path without base, or a cut result
// (the path is then cut, still terminated).
PANOREL32_API bool MakeFullPathName(char* path, const char* base, int size = MAX_PATH);

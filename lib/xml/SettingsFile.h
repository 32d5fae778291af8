// Settings files: the product's registry key written to and read from an XML document of
// "KEY" and "DATA" elements, and the RunDll32 entry points that run the transfer.
#pragma once
#include "../Panorel32.h"
#include "../registry/RegKey.h"
#include "XmlTree.h"

class Filter;

// Writes the product key to a settings file; true on success.
PANOREL32_API bool DoExportOpts(HWND owner, const char* path);
// Replaces the product key by the file's content; true on success. A file that cannot be read,
// does not parse, does not describe the product's own key or names a key that is not one
// plain component changes nothing. Names and texts in the file are UTF-8.
PANOREL32_API bool DoImportOpts(HWND owner, const char* path);
// The same without the parser's message box.
PANOREL32_API bool DoImportOptsQuiet(const char* path);
// False when the file starts with the UTF-16 mark (and, unless quiet, says so); true
// otherwise, also when the file cannot be opened.
PANOREL32_API bool CheckImportFileFmtValid(HWND owner, const char* path, bool quiet);

// Adds a "KEY" element for the subkey `name` of key, with its subkeys and values, to tree.
// The filters (optional) select subkeys and values by name (the default value is matched as
// "NULL"); below the first level they apply only with filterDeep. False when the subkey cannot
// be read or a value cannot be written so that it reads back.
PANOREL32_API bool ReadRegSubKeyToTree(RegKey& key, const char* name, XmlTree& tree,
                                       const Filter* keyFilter = nullptr,
                                       const Filter* valueFilter = nullptr,
                                       bool filterDeep = false);
// Creates the subkey named by the "KEY" element at entry (none: the tree's first element) below
// key and writes its content. False on any element or type it does not know (what was written
// so far stays).
PANOREL32_API bool WriteRegSubKeyFromTree(RegKey& key, XmlTree& tree, POS entry = nullptr);
// True when the "KEY" element at entry (none: the first) and everything below it would be
// written by WriteRegSubKeyFromTree without an error of form.
PANOREL32_API bool CheckRegSubKeyTree(XmlTree& tree, POS entry = nullptr);

// RunDll32 entry points: import from (export to) the file named by the command line, report,
// and offer to start the program again.
PANOREL32_ENTRY void CALLBACK LoadOptions(HWND window, HINSTANCE module, LPSTR commandLine,
                                          int show);
PANOREL32_ENTRY void CALLBACK LoadOptionsA(HWND window, HINSTANCE module, LPSTR commandLine,
                                           int show);
PANOREL32_ENTRY void CALLBACK StoreOptions(HWND window, HINSTANCE module, LPSTR commandLine,
                                           int show);
PANOREL32_ENTRY void CALLBACK StoreOptionsA(HWND window, HINSTANCE module, LPSTR commandLine,
                                            int show);
// The forms RunDll32 prefers: the path arrives whole whatever the process code page.
PANOREL32_ENTRY void CALLBACK LoadOptionsW(HWND window, HINSTANCE module, LPWSTR commandLine,
                                           int show);
PANOREL32_ENTRY void CALLBACK StoreOptionsW(HWND window, HINSTANCE module, LPWSTR commandLine,
                                            int show);

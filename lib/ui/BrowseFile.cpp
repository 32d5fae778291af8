#include "BrowseFile.h"
#include "../util/PathUtil.h"
#include "../util/StrUtil.h"
#include <commdlg.h>
#include <string.h>
#include <string>

bool BrowseForFile(HWND owner, bool open, const char* title, const char* filter, char* path,
                   int size)
{
    if (!path || size < MAX_PATH)
        return false;
    // The dialog takes its filter as zero-separated pairs ended by two zeros.
    std::string pairs = filter ? filter : "";
    for (char& c : pairs)
        if (c == '|')
            c = 0;
    pairs.append(2, '\0');
    std::string ext;
    const char* firstPattern = pairs.c_str() + strlen(pairs.c_str()) + 1;
    if (const char* dot = strrchr(firstPattern, '.'))
        if (!strchr(dot, '*') && !strchr(dot, ';'))
            ext = dot + 1;

    char folder[MAX_PATH] = "";
    StrCopyN(folder, path, sizeof(folder));
    char* name = FindNameExt(folder);
    std::string file;
    if (name && strcmp(name, "*") && strncmp(name, "*.", 2))
        file = name;
    if (name)
        *name = 0;
    RemoveBackSlash(folder);
    StrCopyN(path, file.c_str(), size);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = pairs.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = (DWORD)size;
    ofn.lpstrInitialDir = folder[0] ? folder : NULL;
    ofn.lpstrTitle = title;
    ofn.lpstrDefExt = ext.empty() ? NULL : ext.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    ofn.Flags |= open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT;
    return (open ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn)) != 0;
}

#include "app/MainCmdLine.h"
#include "util/PathUtil.h"
#include "util/StrUtil.h"
#include <stdlib.h>
#include <string.h>
#include <vector>

void StartRequest::Reset()
{
    shared.Free();
    folder[0].Free();
    folder[1].Free();
    file[0][0] = file[1][0] = 0;
    showMode = 0;
}

void StartRequest::SetPanelPath(int panel, const char* piece)
{
    if (panel < 0 || panel > 1 || !piece)
        return;
    char path[MAX_PATH];
    // A path cut to the buffer, an invalid text or a "?" (a character lost on the way) would
    // name another folder: the piece is refused and the panel keeps its own.
    if (strlen(piece) >= sizeof(path) || !IsValidAnsiText(piece) || HasWildcard(piece)) {
        folder[panel].Free();
        file[panel][0] = 0;
        return;
    }
    lstrcpynA(path, piece, sizeof(path));
    size_t len = strlen(path);
    // "C:\a\" typed in quotes arrives as C:\a" from the run-time's split.
    if (len && path[len - 1] == '"')
        path[--len] = 0;
    file[panel][0] = 0;
    DWORD attr = GetFileAttributesA(path);
    if (attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        lstrcpynA(file[panel], FindNameExt(path), MAX_PATH);
        StripFileName(path);
    } else {
        AppendBackSlash(path, sizeof(path));
    }
    RemoveBackSlash(path);
    folder[panel].Attach(GetPidlOf(path));
}

bool StartRequest::SetShowSwitch(const char* name)
{
    if (lstrcmpiA(name, "minimize") == 0)
        showMode = 1;
    else if (lstrcmpiA(name, "maximize") == 0)
        showMode = 2;
    else if (lstrcmpiA(name, "iconize") == 0)
        showMode = 3;
    else
        return false;
    return true;
}

CMainCmdLine::CMainCmdLine(const char* text, StartRequest& request)
    : VmCmdLine(text, ','), m_request(request)
{
    m_request.Reset();
}

void CMainCmdLine::ParseParam(int index, const char* text)
{
    if (index <= 1)
        m_request.SetPanelPath(index, text);
}

void CMainCmdLine::ParseOption(const char* text)
{
    m_request.SetShowSwitch(text);
}

CMainCmdLineInfo::CMainCmdLineInfo(StartRequest& request) : m_request(request)
{
    m_request.Reset();
}

void CMainCmdLineInfo::ParseParam(const char* text, bool isSwitch, bool isLast)
{
    fw::CommandLineInfo::ParseParam(text, isSwitch, isLast);
    if (!text)
        return;
    // Cut the argument at commas; empty pieces are skipped. Each piece is cut to MAX_PATH
    // when it is prepared, so a long piece does not hide the ones after it.
    std::vector<char> arg(text, text + strlen(text) + 1);
    std::vector<const char*> pieces;
    char* start = arg.data();
    for (char* p = arg.data();; p = NextChar(p)) {
        if (*p == ',' || *p == 0) {
            bool end = *p == 0;
            *p = 0;
            if (*start)
                pieces.push_back(start);
            if (end)
                break;
            start = p + 1;
        }
    }
    int count = (int)pieces.size();
    if (count == 0)
        return;
    if (!isSwitch) {
        // Every plain argument starts again at panel 1; pieces after the second are ignored.
        for (int i = 0; i < count && i < 2; i++)
            m_request.SetPanelPath(i, pieces[i]);
        return;
    }
    const char* name = pieces[0];
    if (lstrcmpiA(name, "path") == 0) {
        if (count > 1)
            m_request.SetPanelPath(0, pieces[1]);
    } else if (lstrcmpiA(name, "idlist") == 0) {
        // The shell hands a list's address in shared memory; small numbers are not addresses.
        if (count > 1 && pieces[1][0] == ':') {
            long address = atol(pieces[1] + 1);
            if (address >= 65536) {
                const BYTE* list = reinterpret_cast<const BYTE*>((INT_PTR)address);
                // The address comes from outside: probe every item before reading it.
                UINT size = 0;
                bool ok = false;
                while (size + 2 <= (UINT)PIDL::iMaxStored && !IsBadReadPtr(list + size, 2)) {
                    USHORT cb = *reinterpret_cast<const USHORT*>(list + size);
                    if (cb == 0) {
                        ok = true;
                        break;
                    }
                    if (cb < 2 || IsBadReadPtr(list + size, cb))
                        break;
                    size += cb;
                }
                if (ok)
                    m_request.shared.CopyAll(reinterpret_cast<const ITEMIDLIST*>(list));
            }
        }
    } else {
        m_request.SetShowSwitch(name);
    }
}

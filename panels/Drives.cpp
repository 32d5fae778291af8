#include "panels/Drives.h"
#include "shell/ShellFolder.h"
#include "util/StrUtil.h"

// Folders, or items holding folders, that are file-system objects or lead to them.
static const DWORD kWantedAttributes = 0xF2000000;

static bool IsWantedFolder(DWORD attributes)
{
    return (attributes & (SFGAO_FOLDER | SFGAO_HASSUBFOLDER)) &&
           (attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR));
}

int DriveImageOf(UINT driveType)
{
    switch (driveType) {
    case DRIVE_REMOVABLE:
        return 0;
    case DRIVE_FIXED:
        return 1;
    case DRIVE_REMOTE:
        return 2;
    case DRIVE_CDROM:
        return 3;
    case DRIVE_RAMDISK:
        return 4;
    }
    return -1;
}

int DriveIndexOfPath(const char* path)
{
    if (!path || !path[0] || path[1] != ':')
        return -1;
    char c = path[0];
    if (c >= 'a' && c <= 'z')
        return c - 'a';
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    return -1;
}

bool EnumDrives(DriveList& out, bool names)
{
    out.clear();
    PIDL computer;
    if (!computer.Attach(CSIDL_DRIVES))
        return false;
    iShellFolder folder;
    if (!folder.BindToAbs(computer))
        return false;
    iEnumIDList items(folder, NULL, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN);
    if (!items.IsReady())
        return false;
    bool seen[26] = {};
    while (ITEMIDLIST* raw = items.Next()) {
        PIDL item;
        item.Attach(raw);
        if (!IsWantedFolder(folder.GetAttributesOf(item, kWantedAttributes)))
            continue;
        char root[MAX_PATH];
        if (!folder.GetDisplayNameOf(item, SHGDN_FORPARSING, root, sizeof(root)))
            continue;
        CharUpperA(root);
        int index = DriveIndexOfPath(root);
        // Only drive roots ("X:\") get a button; the drive type decides its image.
        if (index < 0 || lstrlenA(root) != 3 || root[2] != '\\' || seen[index])
            continue;
        UINT type = GetDriveTypeA(root);
        if (DriveImageOf(type) < 0)
            continue;
        std::unique_ptr<DriveInfo> drive(new DriveInfo);
        drive->index = index;
        drive->type = type;
        if (!drive->rel.CopyOne(item) || !drive->abs.CopyAll(computer) || !drive->abs.AppendOne(item))
            continue;
        if (names)
            folder.GetDisplayNameOf(item, SHGDN_NORMAL, drive->name, sizeof(drive->name));
        seen[index] = true;
        out.push_back(std::move(drive));
    }
    return true;
}

bool EnumNetPlaces(NetPlaceList& out, int max)
{
    out.clear();
    PIDL network;
    if (!network.Attach(CSIDL_NETWORK))
        return false;
    iShellFolder folder;
    if (!folder.BindToAbs(network))
        return false;
    iEnumIDList items(folder, NULL, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN);
    if (!items.IsReady())
        return true;   // a neighbourhood with nothing in it enumerates nothing
    while ((int)out.size() < max) {
        ITEMIDLIST* raw = items.Next();
        if (!raw)
            break;
        PIDL item;
        item.Attach(raw);
        if (!IsWantedFolder(folder.GetAttributesOf(item, kWantedAttributes)))
            continue;
        std::unique_ptr<NetPlace> place(new NetPlace);
        if (!place->abs.CopyAll(network) || !place->abs.AppendOne(item))
            continue;
        folder.GetDisplayNameOf(item, SHGDN_NORMAL, place->name, sizeof(place->name));
        out.push_back(std::move(place));
    }
    return true;
}

int MakeDriveMenuText(const char* name, int drive, char* out, int size)
{
    if (!name || !out || size <= 0 || drive < -1 || drive > 25)
        return -1;
    const char upper = (char)('A' + drive), lower = (char)('a' + drive);
    // The mnemonic goes before the letter as the name writes it in upper case ("(C:)"), or
    // else before its first occurrence in either case.
    const char* mark = nullptr;
    for (char want : {upper, lower}) {
        if (drive < 0)
            break;
        for (const char* p = name; *p && !mark; p = NextChar(p))
            if (*p == want)
                mark = p;
        if (mark)
            break;
    }
    int n = 0;
    auto put = [&](char c) {
        if (n < size - 1)
            out[n++] = c;
    };
    for (const char* p = name; *p;) {
        if (p == mark)
            put('&');
        if (*p == '&')
            put('&');
        const char* next = NextChar(p);
        if (next - p == 2 && n + 2 > size - 1)
            break;   // never half a double-byte character
        for (; p < next; p++)
            put(*p);
    }
    out[n] = 0;
    return n;
}

bool IsUsableDriveFolder(const ITEMIDLIST* folder)
{
    char name[MAX_PATH];
    if (!folder || !GetShellNameOf(folder, name, sizeof(name), 1) || !name[0])
        return false;
    // No "insert a disk" box for an empty removable drive: it is simply not usable now.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    DWORD attributes = GetFileAttributesA(name);
    SetErrorMode(oldMode);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return GetNetHoodSubFolder(name) == nullptr;
}

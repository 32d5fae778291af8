#include "nav/NavFixture.h"
#include "lib/shell/FavItem.h"
#include "lib/util/VmList.h"
#include "lib/registry/RegKey.h"
#include "driver/SplitDriver.h"

namespace nav {

bool WriteFavorites(const std::vector<Fav>& favs, std::string* failed)
{
    VmList list;
    std::vector<FavItem*> items;
    for (const Fav& f : favs) {
        FavItem* item = new FavItem;
        PIDL active, passive;
        active.Attach(GetPidlOf(f.active.c_str()));
        if (!f.passive.empty())
            passive.Attach(GetPidlOf(f.passive.c_str()));
        if (!active || (!f.passive.empty() && !passive)) {
            if (failed)
                *failed = !active ? f.active : f.passive;
            for (FavItem* i : items)
                delete i;
            delete item;
            return false;
        }
        item->SetData(f.label.c_str(), active, f.passive.empty() ? nullptr : (const ITEMIDLIST*)passive);
        items.push_back(item);
        list.AddTail(item);
    }
    UINT size = FavItem::GetPutList(list, 0, 1, nullptr);
    std::vector<unsigned char> bytes(size + 1);
    FavItem::GetPutList(list, 0, 1, bytes.data(), size);
    for (FavItem* i : items)
        delete i;
    RegKey key((std::string("HKCU\\") + kRootKey).c_str(), 1);
    return key.IsOpen() && key.PutDword("FavoritesCountEx", (DWORD)favs.size()) &&
           (size == 0 || key.PutBin("FavoritesEx", bytes.data(), (int)size));
}

std::vector<Fav> ReadFavorites()
{
    std::vector<Fav> out;
    RegKey key((std::string("HKCU\\") + kRootKey).c_str(), 0);
    if (!key.IsOpen())
        return out;
    int count = (int)key.GetDword("FavoritesCountEx", 0);
    int size = key.GetBinSize("FavoritesEx");
    if (count <= 0 || count > 100 || size <= 0)
        return out;
    std::vector<unsigned char> bytes(size);
    if (!key.GetBin("FavoritesEx", bytes.data(), size))
        return out;
    VmList list;
    std::vector<FavItem*> items;
    for (int i = 0; i < count; i++) {
        items.push_back(new FavItem);
        list.AddTail(items.back());
    }
    FavItem::GetPutList(list, count, 0, bytes.data(), (UINT)size);
    for (FavItem* item : items) {
        Fav f;
        f.label = item->GetLabel();
        char path[kMaxPathBytes] = "";
        if (item->GetActive() && GetExactPathOf(item->GetActive(), path, sizeof(path)) == PathExact)
            f.active = path;
        path[0] = 0;
        if (item->GetPassive() && GetExactPathOf(item->GetPassive(), path, sizeof(path)) == PathExact)
            f.passive = path;
        out.push_back(f);
        delete item;
    }
    return out;
}

void NavTest::SetUp()
{
    drv::ResetProgramSettings();
    base = "C:\\panorel_nav";
    RemoveAll();
    CreateDirectoryA(base.c_str(), NULL);
    // Names in three scripts, each beside a sibling that a loose pattern would also catch.
    jp = base + "\\日本語フォルダ";
    ru = base + "\\Кириллица";
    emoji = base + "\\emoji 😀";
    plain = base + "\\plain";
    for (const std::string& d : {jp, ru, emoji, plain, jp + "2", ru + "2", base + "\\emoji 1"})
        CreateDirectoryA(d.c_str(), NULL);
}

void NavTest::TearDown()
{
    drv::DeleteUserKey(kPolicyKey);
    drv::DeleteUserKey(kProductKey);
    RemoveAll();
}

void NavTest::RemoveAll()
{
    // Links made on the Unix side go there too; the Windows side would not remove them.
    std::string unixBase = drv::UnixPathOf(base);
    if (!unixBase.empty() && GetFileAttributesA(base.c_str()) != INVALID_FILE_ATTRIBUTES)
        drv::RunUnixShell("rm -rf '" + unixBase + "'");
    drv::RemoveTree(base);
}

HWND NavTest::Start(drv::AppProcess& app, const std::string& first, const std::string& second)
{
    if (!app.Start("panorel.exe", "\"" + first + "," + second + "\""))
        return NULL;
    HWND main = app.WaitForMainWindow();
    if (!main || !drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::PanelList(main, 1); }, 10000))
        return NULL;
    return main;
}

bool NavTest::TitleIs(HWND main, int panel, const std::string& text, DWORD ms)
{
    return drv::WaitFor([&] { return drv::PanelTitle(main, panel) == text; }, ms);
}

HWND NavTest::WaitForCaption(drv::AppProcess& app, const char* caption, DWORD ms)
{
    HWND found = NULL;
    drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (drv::WindowText(w) == caption)
                found = w;
        return found != NULL;
    }, ms);
    return found;
}

}  // namespace nav

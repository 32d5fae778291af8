// Shared set-up of the favourites and folder tree tests: a folder tree with names in several
// scripts, the favourites as the registry holds them, and the program started on two folders.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "driver/Driver.h"
#include "driver/NavDriver.h"

namespace nav {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
const char kOutsideRoot[] = "restricted by the System Administrator";
enum : UINT {
    ID_FAVORITES_MENU = 38113,
    ID_FOLDER_TREE = 38109,
    ID_FAVORITES_ADD = 32825,
    ID_FAVORITES_ORGANIZE = 32826,
    ID_TREE_MATCH = 32820,
    ID_TREE_AUTOMATCH = 32821,
    IDC_FOLDER_TREE = 1041,
    IDC_FAV_LIST = 4030,
};

struct Fav {
    std::string label;     // empty: none
    std::string active;    // path
    std::string passive;   // empty: none
};

// Writes the favourites in their current stored form (count and bytes).
// failed receives a path that names no folder the shell knows.
bool WriteFavorites(const std::vector<Fav>& favs, std::string* failed = nullptr);
// The stored favourites (current form), paths read back from their lists.
std::vector<Fav> ReadFavorites();

class NavTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the program with the panels on two folders; the main window or null.
    HWND Start(drv::AppProcess& app, const std::string& first, const std::string& second);
    bool TitleIs(HWND main, int panel, const std::string& text, DWORD ms = 5000);
    // The visible top-level window of the process with exactly that caption.
    HWND WaitForCaption(drv::AppProcess& app, const char* caption, DWORD ms = 5000);
    void RemoveAll();

    std::string base;                        // C:\panorel_nav
    std::string jp, ru, emoji, plain;        // folders in base named in several scripts
};
}  // namespace nav

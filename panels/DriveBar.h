// A drive bar: a toolbar with one button per local or mapped drive. Each button remembers the
// last folder a panel showed on its drive, so that clicking the drive returns there. The main
// window has one, and each panel has one of its own.
#pragma once
#include "framework/ControlBar.h"
#include "panels/Drives.h"
#include <commctrl.h>
#include <memory>

class DriveBar;

// What a drive bar needs of the window that carries out its commands.
class DriveBarHost {
public:
    virtual ~DriveBarHost() = default;
    // A drive button, or a drive entry of the bar's menu, was chosen. root: go to the drive
    // itself; passive: move the passive panel instead of the active one.
    virtual void OnDriveCommand(DriveBar& bar, UINT id, bool root, bool passive) = 0;
    // The drive whose button shows checked (0 = A:), -1 for none.
    virtual int GetCheckedDrive(const DriveBar& bar) const = 0;
    // The option that draws the drive letters in bold.
    virtual bool UseBoldDriveLetters() const = 0;
    // A folder's name as the panels show it (menus and tooltips).
    virtual void GetFolderText(const ITEMIDLIST* folder, char* buf, int size) const = 0;
};

class DriveBar : public fw::ToolBar {
public:
    enum Kind { MainBar, PanelBar };   // which bars' entries the bar's menu offers
    static const UINT kFirstCommand = 39000;   // + drive index
    static const UINT kLastCommand = 39030;

    DriveBar() = default;
    ~DriveBar() override;

    // Creates the bar docked at the top of frame and builds its buttons. The remembered
    // folders live under regKey (the application's "DriveBar" key when null).
    bool Create(fw::FrameWnd* frame, UINT id, const char* title, DriveBarHost* host, Kind kind,
                const char* regKey = nullptr);
    // Stores the remembered folders, then builds the buttons afresh from the drives that exist
    // now; a drive that still exists keeps its folder.
    void Rebuild();
    // The panel showed `folder` on drive `drive`: it becomes the drive's last folder.
    void RecordVisit(int drive, const ITEMIDLIST* folder);
    // Where the drive's command goes: the drive itself with root, else its last folder when
    // that still exists (else the drive). False when the bar has no button for the drive.
    bool GetTarget(int drive, bool root, PIDL& target) const;
    bool HasDrive(int drive) const { return drive >= 0 && drive < 26 && m_records[drive] != nullptr; }
    // Writes every button's last folder under the bar's key.
    void StoreFolders() const;
    // Runs a drive command as a click does: the modifier keys (Shift: passive panel, Alt: the
    // drive itself) and a variant chosen in the bar's menu decide where it goes.
    void RunCommand(UINT id);
    // Shows the bar's menu at a screen point (a button under it adds the drive's entries).
    void ShowContextMenu(POINT screen);

    // Draws a button face: the image and "_:" with the drive letter, moved by one pixel while
    // the button is pressed or checked (state: CDIS_ flags).
    void PaintFace(HDC dc, const RECT& rc, int drive, int image, UINT state) const;
    HFONT GetFont() const { return m_font; }

    void UpdateItems(fw::Wnd* target) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // What each button owns: the drive's absolute list, its list relative to My Computer and
    // the last folder visited on it.
    struct Record {
        PIDL abs, rel, last;
        int image = 0;
    };
    void MakeFont();
    void BuildButtons();
    void LoadFolders();
    LRESULT OnCustomDraw(NMTBCUSTOMDRAW* cd);
    int ButtonAt(POINT screen) const;   // drive index, -1 when none

    DriveBarHost* m_host = nullptr;
    Kind m_kind = MainBar;
    char m_regKey[MAX_PATH] = "";
    std::unique_ptr<Record> m_records[26];
    HIMAGELIST m_images = NULL;   // owned
    HFONT m_font = NULL;          // owned
    int m_checked = -1;           // the drive shown checked
    bool m_pendingRoot = false, m_pendingPassive = false;   // variant chosen in the menu
    char m_tip[MAX_PATH] = "";
};

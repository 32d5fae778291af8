// An icon in the notification area, owned by a hidden window of its own.
#pragma once
#include "../Panorel32.h"
#include "VmWnd.h"
#include <shellapi.h>

class PANOREL32_API TB_Icon : public VmWnd {
public:
    enum {
        kIconId = 1,
        kCallbackMsg = WM_USER + 1,   // the icon's mouse messages
        kLeftClickMsg = WM_USER + 2,
        kDoubleClickMsg = WM_USER + 3,
        kRightClickMsg = WM_USER + 4
    };

    TB_Icon();
    ~TB_Icon() override;

    // Registers the class, creates the hidden 1 x 1 pop-up in the middle of the screen, sets
    // icon and tip and shows the icon when asked. False when class or window cannot be made.
    bool Start(const char* className, HICON icon, const char* tip, bool show);
    void Stop();    // unregisters the window class
    void Close();   // removes the icon and posts WM_CLOSE to the window
    // Stores whichever is given (the tip cut to 63 bytes on a character boundary) and updates
    // a shown icon.
    bool Modify(HICON icon, const char* tip);
    bool UpdateTooltip(const char* tip) { return Modify(NULL, tip); }
    // Adds or deletes the icon when the state changes. True when the icon is in the state asked.
    bool ShowIcon(bool show);
    bool IsIconShown() const { return m_shown; }

    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    static UINT uMsgTaskbarCreated;     // "TaskbarCreated"
    static UINT uMsgMyTaskbarCreated;   // "Corvane_TaskbarCreated"

protected:
    virtual void OnDestroyWnd();
    virtual WORD GetProdID() { return 0; }
    virtual bool OnMyCompanyMessage(WPARAM, LPARAM, LRESULT&) { return false; }
    virtual void OnCreateWnd() {}
    virtual void OnLeftClick() {}
    virtual void OnDoubleClick() {}
    virtual void OnRightClick() {}
    virtual bool InitInstance() { return true; }
    virtual int RunMsgLoop();
    virtual int ExitInstance() { return 0; }

    NOTIFYICONDATAA m_nid;
    bool m_shown;
    bool m_wanted;   // asked to be shown, even while the shell has no taskbar
    char m_className[64];
};

// The product's icon: clicks ask the owner to come back; its menu offers Open and Exit.
class PANOREL32_API MyTB_Icon : public TB_Icon {
public:
    // With an owner, makes and shows the one instance (class "PANOREL_TB_ICON"); without,
    // removes it. Asking for the state that holds already succeeds and does nothing.
    static bool Show(HWND owner, UINT restoreCommand = 0, UINT exitCommand = 0);
    static bool IsShown();
    // The instance's window, for callers that check what it shows.
    static HWND GetIconWindow();

protected:
    WORD GetProdID() override;
    void OnLeftClick() override;
    void OnDoubleClick() override;
    void OnRightClick() override;
    void OnPostNcDestroy() override;

private:
    MyTB_Icon(HWND owner, UINT restoreCommand, UINT exitCommand);

    HWND m_owner;
    UINT m_restore;
    UINT m_exit;
    static MyTB_Icon* s_instance;
};

// Keeps a panel's shell view quiet while a file operation runs: its list does not redraw, and
// the shell's change notices to the view are dropped. The view would add every new file one
// by one, which cost more than the copy itself; the caller refreshes the panel once at the end.
#pragma once
#include <windows.h>

class ViewQuiet {
public:
    // view: the view window ("SHELLDLL_DefView"); list: its list control. Either may be null.
    ViewQuiet(HWND view, HWND list);
    ViewQuiet(const ViewQuiet&) = delete;
    ViewQuiet& operator=(const ViewQuiet&) = delete;
    ~ViewQuiet();
    // The notices dropped so far.
    int Dropped() const { return m_dropped; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);

    HWND m_view;
    HWND m_list;
    bool m_hooked = false;
    int m_dropped = 0;
};

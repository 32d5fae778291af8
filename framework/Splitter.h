// A two-pane splitter: side by side or one above the other, with a draggable bar between the
// panes; one pane can fill the window alone.
#pragma once
#include "Wnd.h"
#include <functional>

namespace fw {

class Splitter : public Wnd {
public:
    bool Create(HWND parent, UINT id);
    void SetPane(int index, HWND pane);
    HWND GetPane(int index) const { return index == 0 || index == 1 ? m_pane[index] : NULL; }
    // sideBySide: columns; else rows.
    void SetOrientation(bool sideBySide);
    bool IsSideBySide() const { return m_sideBySide; }
    // Size of the first pane in pixels, kept at least the minimum.
    void SetFirstSize(int size);
    int GetFirstSize() const { return m_firstSize; }
    int m_minSize = 10;
    // -1 shows both panes; 0 or 1 shows only that pane.
    void ShowSingle(int pane);
    int GetSingle() const { return m_single; }
    void Layout();
    static const int kBar = 4;

    std::function<bool()> canTrack;          // false refuses a drag silently
    std::function<void(int)> onTracked;      // the new first-pane size after a drag

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int Extent() const;
    HWND m_pane[2] = {};
    bool m_sideBySide = true;
    int m_firstSize = 100;
    int m_single = -1;
    bool m_tracking = false;
    int m_grabOffset = 0;
};

}  // namespace fw

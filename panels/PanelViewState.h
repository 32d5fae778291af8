// Where a panel's shell view keeps its column and icon layout: one stream per panel serves
// every plain file-system folder, the Desktop and drive paths; any other folder keeps its own,
// keyed by its identifier list. The view reads and writes it through GetViewStateStream.
#pragma once
#include "registry/RegStream.h"

class PanelViewState {
public:
    // plainFolder: the folder just bound is a plain file-system folder; desktop: it is the
    // Desktop; path: its file-system path (may be empty or null).
    static bool UsesPanelStream(bool plainFolder, bool desktop, const char* path);

    // Closes the stream (storing what the view wrote) and opens it for a folder: the panel's
    // (number 1 or 2) or the folder's own, of the kind for IShellView2 views or older ones.
    bool Open(int panelNumber, const ITEMIDLIST* folder, bool perPanel, bool view2);
    // The stream for the view, for writing unless the mode is read-only. E_FAIL when none is
    // open; E_INVALIDARG without an output pointer.
    HRESULT GetStream(DWORD mode, IStream** out);
    void Close();
    bool IsOpen() const { return m_stream.GetKind() != RegStream::KindNone; }
    bool IsPerPanel() const { return IsOpen() && m_stream.GetPanel() != -1; }
    int GetKind() const { return m_stream.GetKind(); }

private:
    RegStream m_stream;
};

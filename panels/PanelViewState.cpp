#include "panels/PanelViewState.h"
#include "shell/Pidl.h"

bool PanelViewState::UsesPanelStream(bool plainFolder, bool desktop, const char* path)
{
    return plainFolder || desktop || (path && IsDosFolder(path));
}

bool PanelViewState::Open(int panelNumber, const ITEMIDLIST* folder, bool perPanel, bool view2)
{
    Close();
    int kind = view2 ? RegStream::KindViewView2 : RegStream::KindViewView;
    if (perPanel)
        return m_stream.OpenFileSys(panelNumber, kind);
    return folder && m_stream.Open(folder, kind);
}

HRESULT PanelViewState::GetStream(DWORD mode, IStream** out)
{
    if (!out)
        return E_INVALIDARG;
    *out = m_stream.GetStream((mode & (STGM_WRITE | STGM_READWRITE)) != 0);
    return *out ? S_OK : E_FAIL;
}

void PanelViewState::Close()
{
    m_stream.Close();
}

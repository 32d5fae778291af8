#include "DataObj.h"

iDataObj::iDataObj() : m_hasMedium(false) { ZeroMemory(&m_medium, sizeof(m_medium)); }

iDataObj::iDataObj(IDataObject* data) : iUnk(data), m_hasMedium(false)
{
    ZeroMemory(&m_medium, sizeof(m_medium));
}

iDataObj::~iDataObj() { ReleaseMedium(); }

void iDataObj::ReleaseMedium()
{
    if (m_hasMedium)
        ReleaseStgMedium(&m_medium);
    ZeroMemory(&m_medium, sizeof(m_medium));
    m_hasMedium = false;
}

bool iDataObj::GetData(UINT format, HGLOBAL* out)
{
    ReleaseMedium();
    if (!Get() || !out || !format)
        return false;
    FORMATETC fmt = {(CLIPFORMAT)format, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (FAILED(Get()->GetData(&fmt, &m_medium)))
        return false;
    m_hasMedium = true;
    // Another medium than asked for is of no use to the caller.
    if (m_medium.tymed != TYMED_HGLOBAL || !m_medium.hGlobal) {
        ReleaseMedium();
        return false;
    }
    *out = m_medium.hGlobal;
    return true;
}

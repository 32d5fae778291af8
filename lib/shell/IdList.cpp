#include "IdList.h"
#include "Pidl.h"

UINT ID_List::cfIDLIST;   // registered on first use: no user32 calls while the library loads

ID_List::ID_List() : m_global(NULL), m_cida(NULL), m_size(0), m_next(1) {}

ID_List::ID_List(IDataObject* data) : ID_List() { Init(data, NULL); }

ID_List::ID_List(void* hGlobal) : ID_List() { Init(NULL, hGlobal); }

ID_List::~ID_List() { Release(); }

void ID_List::Release()
{
    if (m_cida && m_global)
        GlobalUnlock(m_global);
    m_data.ReleaseMedium();
    m_data.Release();
    m_global = NULL;
    m_cida = NULL;
    m_size = 0;
    m_next = 1;
}

bool ID_List::Init(IDataObject* data, void* hGlobal)
{
    Release();
    if (!cfIDLIST)
        cfIDLIST = RegisterClipboardFormatA(CFSTR_SHELLIDLIST);
    if (data) {
        data->AddRef();
        m_data.Attach(data);
        if (!m_data.GetData(cfIDLIST, &m_global))
            return false;
    } else {
        m_global = (HGLOBAL)hGlobal;
    }
    if (!m_global)
        return false;
    m_size = GlobalSize(m_global);
    m_cida = (CIDA*)GlobalLock(m_global);
    return m_cida != NULL;
}

int ID_List::GetCount() const
{
    if (!m_cida || m_size < sizeof(UINT))
        return 0;
    UINT count = m_cida->cidl;
    // The count and count + 1 offsets must lie inside the block.
    if (sizeof(UINT) * (2 + (SIZE_T)count) > m_size)
        return 0;
    return (int)count;
}

const ITEMIDLIST* ID_List::GetAt(int index) const
{
    int count = GetCount();
    if (!count || index < 0 || index > count)
        return NULL;
    UINT offset = m_cida->aoffset[index];
    if (offset >= m_size)
        return NULL;
    const BYTE* p = (const BYTE*)m_cida + offset;
    SIZE_T avail = m_size - offset;
    if (!PIDL::GetValidSize(p, avail > 0xFFFFFFFF ? 0xFFFFFFFF : (UINT)avail))
        return NULL;
    return (const ITEMIDLIST*)p;
}

const ITEMIDLIST* ID_List::GetFirstPidl()
{
    m_next = 1;
    return GetNextPidl();
}

const ITEMIDLIST* ID_List::GetNextPidl()
{
    if (m_next > GetCount())
        return NULL;
    return GetAt(m_next++);
}

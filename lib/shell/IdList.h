// The identifier lists of a selection, read from a shell data object's "Shell IDList Array".
#pragma once
#include "../Panorel32.h"
#include "DataObj.h"

class PANOREL32_API ID_List {
public:
    static UINT cfIDLIST;   // registered clipboard format of "Shell IDList Array"

    ID_List();
    explicit ID_List(IDataObject* data);
    explicit ID_List(void* hGlobal);   // the caller keeps the block
    ID_List(const ID_List&) = delete;  // holds a lock and a storage medium
    ID_List& operator=(const ID_List&) = delete;
    ~ID_List();

    // Exactly one of data and hGlobal; a held selection is released first.
    bool Init(IDataObject* data, void* hGlobal);
    bool IsReady() const { return m_data.IsReady() || m_global != NULL; }

    // A block whose header or offsets run past its end counts as empty; a list that is
    // malformed within the block comes back as null.
    int GetCount() const;
    const ITEMIDLIST* GetFolderPidl() const { return GetAt(0); }
    const ITEMIDLIST* GetFirstPidl();
    const ITEMIDLIST* GetNextPidl();   // null after the last item

private:
    void Release();
    const ITEMIDLIST* GetAt(int index) const;

    iDataObj m_data;       // wrapped data object; keeps the storage medium of m_global
    HGLOBAL m_global;      // the block with the CIDA data
    CIDA* m_cida;          // locked pointer into m_global
    SIZE_T m_size;         // bytes of the block
    int m_next;            // index of the next item to return
};

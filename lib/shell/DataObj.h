// Data objects of the shell (a view's selection, a drag source), read in global memory.
#pragma once
#include "ShellFolder.h"

class PANOREL32_API iDataObj : public iUnk {
public:
    iDataObj();
    explicit iDataObj(IDataObject* data);   // adds a reference of its own
    ~iDataObj() override;

    IDataObject* Get() const { return static_cast<IDataObject*>(m_pUnk); }
    // Asks for the format as global memory; the medium is kept until ReleaseMedium (or the
    // next GetData). *out is set only on success and stays owned by this object.
    bool GetData(UINT format, HGLOBAL* out);
    void ReleaseMedium();
    bool HasMedium() const { return m_hasMedium; }

private:
    STGMEDIUM m_medium;
    bool m_hasMedium;
};

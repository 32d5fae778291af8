// View-state streams: the state a shell view keeps (column widths, icon positions), held in an
// in-memory stream while the view runs and stored in the registry when it was written. Per
// folder it lives where the Explorer keeps its own (a shared most-recently-used list of folders
// with one state key per slot); per panel below the application's root key.
#pragma once
#include "RegKey.h"
#include <objidl.h>
#include <shtypes.h>

class PANOREL32_API RegStream : public RegKey {
public:
    // Which stored value the state belongs to.
    enum Kind { KindNone = -1, KindCabView = 0, KindViewView = 1, KindViewView2 = 2 };
    enum { MaxSlots = 29 };   // slots 'a' to '}'

    RegStream();
    RegStream(const RegStream&) = delete;   // owns its stream
    RegStream& operator=(const RegStream&) = delete;
    ~RegStream() override;

    // The per-folder state of folder (an absolute identifier list) for kind; makes the folder
    // the most recently used one. False for a bad kind or folder, or when the list key cannot
    // be opened.
    bool Open(const ITEMIDLIST* folder, int kind);
    // The per-panel state for kind.
    bool OpenFileSys(int panel, int kind);
    // The memory stream rewound, with a reference for the caller; forWriting marks it written.
    // Null when nothing is open.
    IStream* GetStream(bool forWriting);
    // Stores the state when it was handed out for writing and is not empty, then resets.
    void Close();

    int GetPanel() const { return m_panel; }
    int GetKind() const { return m_kind; }
    int GetSlot() const { return m_slot; }
    bool IsWritten() const { return m_written; }

    static const char* KindName(int kind);   // null for a bad kind
    // The key below which the shared list lives ("...\Explorer\StreamMRU"); null restores
    // the user's "HKCU\Software\Microsoft\Windows\CurrentVersion". The text is kept, not copied.
    static void SetFolderRoot(const char* path);

private:
    bool MakeStream(RegKey& key);
    bool StateKeyPath(char* path, int size) const;

    int m_panel;
    bool m_written;
    IStream* m_stream;
    int m_kind;
    int m_slot;
};

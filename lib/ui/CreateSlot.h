// The object whose window is being created on this thread (library internal).
#pragma once
class VmWnd;

struct CreateSlot {
    VmWnd* wnd;
    bool dialog;      // taken only by the dialog procedure; plain windows leave it alone
    int templateId;
};

// Kept per thread: dialogs of worker threads (progress) must not take the UI thread's object.
CreateSlot& GetCreateSlot();

// A window placement record that can be kept in the registry (44 bytes, binary).
#pragma once
#include "../Panorel32.h"

class PANOREL32_API MyWindowPlacement : public WINDOWPLACEMENT {
public:
    enum { NotSet = -1234 };   // left edge of the normal rectangle while nothing was read

    MyWindowPlacement() { Reset(); }
    void Reset();
    bool IsInitialized() const { return rcNormalPosition.left != NotSet; }

    // The window's current placement; unchanged on failure.
    bool GetFrom(HWND window);
    // Applies a read placement; a minimized one comes back normal. False while not initialized.
    bool ApplyTo(HWND window) const;

    // A binary value of exactly the record's size under keyPath (the application's root key
    // when null). Any other size, or a wrong length field, leaves the record unchanged.
    bool Load(const char* valueName, const char* keyPath = NULL);
    // Writes the record (only when it differs); false while not initialized.
    bool Store(const char* valueName, const char* keyPath = NULL) const;
};

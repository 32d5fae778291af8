// A named DWORD of option bits under the application root key; a missing value means the
// defaults that Reset sets.
#pragma once
#include "RegKey.h"

class PANOREL32_API BoolOpts {
public:
    explicit BoolOpts(const char* valueName) : value(0), name(valueName) {}

    virtual void Reset() { value = 0; }
    // Reset, then read the stored bits (the defaults when missing) and the subclass's extras.
    // False when the root key does not open; the defaults stay.
    virtual bool Load();
    // Writes the subclass's extras and the bits (only when they changed) and flushes.
    virtual bool Store();
    virtual void OnLoad(RegKey&) {}
    virtual void OnStore(RegKey&) {}
    virtual ~BoolOpts() {}

    bool IsOn(DWORD mask) const { return (value & mask) != 0; }
    void Set(DWORD mask, int on);
    void Get(DWORD mask, int& on) const { on = IsOn(mask) ? 1 : 0; }
    operator DWORD() const { return value; }

    DWORD value;        // the option bits
    const char* name;   // registry value name; not owned
};

// A bounded list of recently used texts, newest first, kept in one binary registry value under
// the application root key.
#pragma once
#include "VmList.h"

// Stored value: the maximum (32 bits, little-endian), the entries newest first, each
// NUL-terminated, and one more NUL that ends the list.
class PANOREL32_API VmHistList : public VmList {
public:
    enum {
        DefaultMax = 15,
        MaxStoredMax = 1024,          // a stored maximum outside 1..this is not believed
        MaxValueSize = 1024 * 1024    // a bigger value is not a history
    };

    VmHistList();
    ~VmHistList() override;

    // Empties the list, remembers name (the caller's string, which must outlive the list) and
    // max, then reads the value. A missing, short or malformed value leaves the list empty.
    void Load(const char* name, int max);
    // Writes the value; nothing when there is no name, the application root key cannot be
    // opened for writing or memory is short. False when nothing was written.
    bool Store();
    // Records a use: the first entry equal without regard to case goes, the oldest go while
    // the list is full, and a copy of text becomes the head. Empty text changes nothing.
    // False when nothing was recorded.
    bool Update(const char* text);

    // Empties the list, then takes the stored value's bytes: the maximum from the first four
    // (when believable) and the complete entries after them. Never reads past size bytes.
    bool SetFromBytes(const void* bytes, int size);
    // The value as stored, in a buffer from malloc (null when memory is short).
    void* MakeBytes(int& size) const;

    int GetMaxHistSize() const { return m_max; }
    void SetMaxHistSize(int max) { m_max = max; }
    const char* GetName() const { return m_name; }

    // The entry at pos (pos moves on), as VmList::GetNext, typed.
    const char* GetNextStr(POS& pos) const { return static_cast<const char*>(GetNext(pos)); }
    // The first entry equal to text without regard to case (double-byte characters compared
    // whole); none when absent.
    POS FindNoCase(const char* text) const;

    // Compares without regard to case; the second byte of a double-byte character is never
    // folded. True when equal.
    static bool EqualNoCase(const char* a, const char* b);

private:
    static int FreeEntry(void* user, int code, void* element);

    const char* m_name;
    int m_max;
};

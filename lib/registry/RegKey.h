// One open registry key addressed by a text path ("HKCU\Software\Corvane"), with typed values that
// are written only when the stored data differs.
#pragma once
#include "../Panorel32.h"

// Maker-wide key names.
extern PANOREL32_API const char sz_HKCU_Software_MyCompany[];   // "HKCU\Software\Corvane"
extern PANOREL32_API const char sz_HKLM_Software_MyCompany[];   // "HKLM\Software\Corvane"
extern PANOREL32_API const char sz_HKCU_WinCurVer[];
extern PANOREL32_API const char sz_HKLM_WinCurVer[];
extern PANOREL32_API const char sz_HKLM_WinNTCurVer[];

class PANOREL32_API RegKey {
public:
    // What a caller that installs, removes or queries a registration asks for.
    enum Op {
        OpCheck = 0,    // compare the stored value with the given one
        OpRemove = 1,   // delete the value or subkey
        OpUpdate = 2,   // write the given value when it differs, creating keys as needed
        OpRead = 3      // fetch the stored value
    };
    static bool IsWritable(Op op) { return op == OpRemove || op == OpUpdate; }

    RegKey();
    // Path: root ("HKCU", "HKLM", "HKCLS", "HKU" or their long forms, any case) and subkeys
    // separated by "\". A failed open leaves a null key on which every value operation fails.
    explicit RegKey(const char* path, int create = 0);
    RegKey(const char* path, Op op);
    // Relative to an open key; subPath is handed to the system in one piece.
    RegKey(RegKey& parent, const char* subPath, int create = 0);
    RegKey(RegKey& parent, const char* subPath, Op op);
    // Copies share the handle value; a shared count makes the last copy alive close it.
    RegKey(const RegKey& other);
    RegKey& operator=(const RegKey& other);
    virtual ~RegKey();

    bool Open(const char* path, int create = 0);
    bool Open(const char* path, Op op) { return Open(path, IsWritable(op) ? 1 : 0); }
    bool Open(RegKey& parent, const char* subPath, int create = 0);
    bool Open(RegKey& parent, const char* subPath, Op op)
    {
        return Open(parent, subPath, IsWritable(op) ? 1 : 0);
    }
    // Opens all but the last `levels` components of path.
    bool OpenParent(const char* path, int create, int levels = 1);
    void Close();
    // Takes ownership of key (closing the current one); Detach hands it out and forgets it.
    void Attach(HKEY key);
    HKEY Detach();

    HKEY GetKey() const { return m_key; }
    operator HKEY() const { return m_key; }
    bool IsOpen() const { return m_key != NULL; }
    bool Flush();

    // Values; a null name means the key's default value.
    // The stored 4 bytes, or def when the value is missing or not exactly 4 bytes long.
    DWORD GetDword(const char* name, DWORD def = 0);
    int GetInt(const char* name, int def = 0) { return (int)GetDword(name, (DWORD)def); }
    bool PutDword(const char* name, DWORD value);
    bool PutInt(const char* name, int value) { return PutDword(name, (DWORD)value); }
    // Reads a string value (cut to size-1 bytes when longer) and returns its length. A missing
    // or non-string value gives def (cut the same way), or "" when def is null.
    int GetStr(const char* name, char* buffer, int size, const char* def = NULL);
    bool PutStr(const char* name, const char* text);
    int GetBinSize(const char* name);
    // size 0: the buffer holds GetBinSize bytes. Fails when size is smaller than the data.
    bool GetBin(const char* name, void* buffer, int size);
    bool PutBin(const char* name, const void* bytes, int size);
    DWORD GetValueType(const char* name);
    bool FindValue(const char* name) { return GetValueType(name) != 0; }
    bool DelValue(const char* name);   // a missing value counts as deleted

    // A string value by operation code. Check: true when the stored text equals text exactly
    // (false when missing or empty). Update: writes when the check fails. Read: into text of
    // size bytes, true when a non-empty text was found.
    bool ProcessEntry(Op op, const char* name, char* text, int size);
    bool ProcessEntry(Op op, const char* name, const char* text);   // check, remove, update
    // A DWORD value by operation code; a missing value means 0 and updating with 0 deletes it.
    // Read leaves value unchanged when the key is not open.
    bool ProcessEntry(Op op, const char* name, DWORD& value);

    // Enumeration: false only when there are no more items (or the key is not open). A name
    // that does not fit the buffer comes back as "" so the caller can go on.
    bool GetFirstSubKey(char* buffer, int size);
    bool GetNextSubKey(char* buffer, int size);
    bool GetFirstValue(char* buffer, int size);
    bool GetNextValue(char* buffer, int size);

    bool IsKeyEmpty();   // no subkey and no value; false when the key cannot be queried
    // Deletes a subkey with everything below it; a missing subkey counts as deleted.
    bool DelSubKey(const char* name);
    bool DelSubKeyIfEmpty(const char* name);
    bool DelAll();   // every subkey and value, the default value too
    // Remove and update delete the subkey and flush; the others do nothing.
    bool ProcessSubKey(Op op, const char* name);

    // Copies one REG_SZ, REG_BINARY or REG_DWORD value (other types are skipped).
    bool CopyValueTo(RegKey& dest, const char* name);
    // Copies all subkeys recursively, then the default value, then the named values.
    bool CopyTo(RegKey& dest);

    // Whole hives in files. The privileges these need are enabled on the way.
    static bool LoadKey(HKEY root, const char* subKey, const char* file);
    static bool UnLoadKey(HKEY root, const char* subKey);
    // Replaces file (its attributes survive; a new file gets FILE_ATTRIBUTE_ARCHIVE).
    static bool SaveKey(HKEY key, const char* file, LPSECURITY_ATTRIBUTES security = NULL);
    bool Save(const char* file) { return SaveKey(m_key, file, NULL); }

private:
    static HKEY OpenKey(const char* path, int create, int levels);
    void Set(HKEY key);   // adopt a freshly opened handle
    bool EnumSubKey(char* buffer, int size);
    bool EnumValue(char* buffer, int size);

    HKEY m_key;
    int m_enumIndex;   // last enumeration step; -1 when an enumeration starts
    LONG* m_shared;    // count of copies sharing m_key; null for roots and closed keys
};

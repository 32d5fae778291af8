// Name filters: include and exclude lists of "*" masks, compared without regard to case; and the
// panel filter, which adds show and hide switches for kinds of shell objects.
#pragma once
#include "../Panorel32.h"

class PANOREL32_API Filter {
public:
    // separators is kept, not copied (null or "": each list is a single mask).
    Filter(const char* include = NULL, const char* exclude = NULL, const char* separators = NULL);
    Filter(const Filter&) = delete;   // owns its list copies
    Filter& operator=(const Filter&) = delete;
    virtual ~Filter();

    // Null or "" removes a list. False when a copy could not be made.
    bool SetFilters(const char* include, const char* exclude);
    // Copies the lists ("" for none) into buffers of size bytes, cut to fit; null buffers are
    // skipped.
    void GetFilters(char* include, char* exclude, int size = MAX_PATH) const;
    bool IsEmpty() const { return !m_include && !m_exclude; }
    void Reset();
    // A null or empty name passes; an excluded name fails; without an include list every other
    // name passes, else only names that match it.
    bool Match(const char* name) const;

protected:
    bool MatchWithSep(const char* list, const char* name) const;
    static bool MatchCore(const char* mask, const char* name);
    static bool MatchOkay(const char* maskRest);

private:
    static bool MatchRange(const char* mask, const char* maskEnd, const char* name);
    static char* Dup(const char* text);

    const char* m_separators;
    char* m_include;
    char* m_exclude;
};

class PANOREL32_API ShellObjFilter : public Filter {
public:
    // Show bits; the matching hide bit is the show bit shifted by HideShift.
    enum {
        ShowFiles = 0x0001,
        ShowFolders = 0x0002,        // file-system folders
        ShowLinks = 0x0004,
        ShowHidden = 0x0008,
        ShowFsAncestors = 0x0010,
        ShowVirtFolders = 0x0020,
        ShowVirtObjects = 0x0040,
        ShowMask = 0x007F,
        HideShift = 16,
        HideMask = ShowMask << HideShift,
    };

    ShellObjFilter() : Filter(NULL, NULL, ";"), m_flags(0) {}

    bool IsEmpty() const { return IsEmptyFilters() && IsEmptyFlags(); }
    bool IsEmptyFilters() const { return Filter::IsEmpty(); }
    bool IsEmptyFlags() const { return m_flags == 0; }
    void Reset()
    {
        Filter::Reset();
        m_flags = 0;
    }
    DWORD GetFlags() const { return m_flags; }
    bool GetFlag(DWORD flag) const { return (m_flags & flag) != 0; }
    void SetFlag(DWORD flag, bool on);
    // A hidden type wins; then a shown type passes whatever the name; else the lists decide.
    bool Match(const char* name, DWORD typeWord) const;
    // The type word (show and hide bit of every type) of an object with these shell attributes.
    static DWORD TypeWordOf(DWORD attributes);

private:
    DWORD m_flags;
};

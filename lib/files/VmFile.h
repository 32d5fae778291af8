// One open file with typed binary reads and writes, path-level helpers, a COM stream over it
// and a scope guard for attributes. Paths are ANSI, at most MAX_PATH characters.
#pragma once
#include "../Panorel32.h"
#include <objidl.h>

// Text formats of VmFile::WriteText.
enum VmFileTextFmt {
    VmFileAnsi = 0,        // no mark
    VmFileUnicode = 1,     // UTF-16 little-endian, mark FF FE
    VmFileUnicodeBE = 2,   // UTF-16 big-endian, mark FE FF
    VmFileUtf8 = 3         // mark EF BB BF
};

class PANOREL32_API VmFile {
public:
    // Copy flags.
    enum { CopyKeepTarget = 1, CopyEmptyIfNoSource = 2 };

    VmFile();
    VmFile(const char* path, bool write);
    VmFile(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
    VmFile(const VmFile&) = delete;   // one handle, one owner
    VmFile& operator=(const VmFile&) = delete;
    ~VmFile() { Close(); }

    // write: read and write, no sharing, OPEN_ALWAYS (an existing file is kept, not
    // truncated). Otherwise read only, shared for reading, OPEN_EXISTING. Closes what was open.
    bool Open(const char* path, bool write);
    bool Open(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
    void Close();   // safe on a closed object
    bool IsReady() const { return m_file != INVALID_HANDLE_VALUE; }
    operator void*() const { return IsReady() ? const_cast<VmFile*>(this) : nullptr; }
    HANDLE GetHandle() const { return m_file; }

    // Maps length bytes from offset (0: to the end) and returns the address of the byte at
    // offset; null on failure, the mapping then closed again.
    void* OpenMap(DWORD offset, DWORD length);
    void CloseMap();

    // The new position, or INVALID_SET_FILE_POINTER on failure.
    DWORD MoveTo(LONG offset, DWORD method = FILE_BEGIN);
    DWORD MoveToEnd() { return MoveTo(0, FILE_END); }
    DWORD Skip(LONG count) { return MoveTo(count, FILE_CURRENT); }
    bool SetEndOfFile();

    // Machine width, little-endian; true only when all bytes moved.
    bool Read(unsigned char& x) { return ReadBin(&x, sizeof(x)); }
    bool Read(unsigned short& x) { return ReadBin(&x, sizeof(x)); }
    bool Read(int& x) { return ReadBin(&x, sizeof(x)); }
    bool Read(unsigned int& x) { return ReadBin(&x, sizeof(x)); }
    bool Read(unsigned long& x) { return ReadBin(&x, sizeof(x)); }
    bool Write(unsigned char x) { return WriteBin(&x, sizeof(x)); }
    bool Write(unsigned short x) { return WriteBin(&x, sizeof(x)); }
    bool Write(int x) { return WriteBin(&x, sizeof(x)); }
    bool Write(unsigned int x) { return WriteBin(&x, sizeof(x)); }
    bool Write(unsigned long x) { return WriteBin(&x, sizeof(x)); }

    // True only when exactly count bytes moved; done (optional) gets the number moved. Count 0
    // succeeds without touching the file.
    bool ReadBin(void* buffer, DWORD count, DWORD* done = nullptr);
    bool WriteBin(const void* buffer, DWORD count, DWORD* done = nullptr);
    // Reads count bytes of source into the caller's buffer, then writes them here.
    bool CopyBinFrom(VmFile& source, void* buffer, DWORD count);

    // A length byte and that many bytes, no terminator. WriteStr refuses texts over 255
    // bytes (their length would not fit). ReadStr stores at most size - 1 bytes (the rest of
    // the stored text is skipped) and always terminates.
    bool ReadStr(char* text, int size = 256);
    bool WriteStr(const char* text);
    // printf-style into at most 1023 bytes; a final lone LF becomes CR LF when the text is
    // longer than one character. An empty result writes nothing and succeeds.
    bool puts(const char* format, ...);

    DWORD GetSize() const;   // low 32 bits; 0 on failure
    // A null time stays unchanged.
    bool SetTime(const FILETIME* creation, const FILETIME* access, const FILETIME* write);

    // FindFirstFileA on the path, closed at once. False (data unchanged) when not found.
    static bool GetInfo(const char* path, WIN32_FIND_DATAA& data);
    static DWORD GetSize(const char* path);   // 0 when missing
    static bool GetTime(const char* path, FILETIME* creation, FILETIME* access, FILETIME* write);
    // Opens for writing (a missing file is created); folders cannot be set this way.
    static bool SetTime(const char* path, const FILETIME* creation, const FILETIME* access,
                        const FILETIME* write);
    static DWORD GetAttrib(const char* path);
    // False only when the path is known to be missing (ERROR_FILE_NOT_FOUND), or null/empty.
    static bool CanFind(const char* path);
    static bool Delete(const char* path);
    // Copies a small file whole; flags CopyKeepTarget, CopyEmptyIfNoSource.
    static bool Copy(const char* target, const char* source, DWORD flags = 0);
    // The whole file as one zero-terminated ANSI text (UTF-16 converted, a UTF-8 mark
    // dropped); null with the last error set on failure. Free with FreeText.
    static char* ReadText(const char* path);
    static void FreeText(void* text);
    // Writes the text in the format and truncates after it; true when the last error is 0.
    static bool WriteText(const char* path, const char* text, int format);

protected:
    void InitFields();

    HANDLE m_file;   // INVALID_HANDLE_VALUE when closed
    HANDLE m_map;
    void* m_view;
    bool m_write;
};

// A buffer the library allocated (texts of VmFile::ReadText).
PANOREL32_ENTRY void FreeDllBuf(void* buffer);

// IStream over a VmFile it does not own. Lives as long as its creator keeps it: the reference
// count is not kept.
class PANOREL32_API VmFileStream : public IStream {
public:
    explicit VmFileStream(VmFile* file) : m_file(file) {}
    virtual ~VmFileStream() {}
    VmFileStream(const VmFileStream&) = delete;
    VmFileStream& operator=(const VmFileStream&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 0; }
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* done) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* done) override;
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER* newPos) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                     ULARGE_INTEGER*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

protected:
    VmFile* m_file;
};

// Sets a file's attributes for the length of a scope and puts the former ones back.
class PANOREL32_API VmFileAttrib {
public:
    // The path must outlive the guard.
    VmFileAttrib(const char* path, DWORD attributes);
    VmFileAttrib(const VmFileAttrib&) = delete;
    VmFileAttrib& operator=(const VmFileAttrib&) = delete;
    ~VmFileAttrib();
    DWORD GetOldAttrib() const { return m_attrib; }

protected:
    const char* m_path;
    DWORD m_attrib;   // INVALID_FILE_ATTRIBUTES when the file was not found
};

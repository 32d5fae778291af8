#include "VmFile.h"
#include "../util/StrUtil.h"
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {
bool IsEmptyPath(const char* path)
{
    if (path && *path)
        return false;
    SetLastError(ERROR_INVALID_PARAMETER);
    return true;
}

DWORD AllocGranularity()
{
    static DWORD granularity;   // read once per process
    if (!granularity) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        granularity = info.dwAllocationGranularity ? info.dwAllocationGranularity : 65536;
    }
    return granularity;
}

void SwapPairs(BYTE* bytes, size_t count)
{
    for (size_t i = 0; i + 1 < count; i += 2) {
        BYTE b = bytes[i];
        bytes[i] = bytes[i + 1];
        bytes[i + 1] = b;
    }
}
}  // namespace

VmFile::VmFile() { InitFields(); }

VmFile::VmFile(const char* path, bool write)
{
    InitFields();
    Open(path, write);
}

VmFile::VmFile(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    InitFields();
    Open(path, access, share, disposition, flags);
}

void VmFile::InitFields()
{
    m_file = INVALID_HANDLE_VALUE;
    m_map = NULL;
    m_view = nullptr;
    m_write = false;
}

bool VmFile::Open(const char* path, bool write)
{
    if (write)
        return Open(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    return Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

bool VmFile::Open(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    Close();
    if (IsEmptyPath(path))
        return false;
    m_file = CreateFileA(path, access, share, NULL, disposition, flags, NULL);
    m_write = (access & GENERIC_WRITE) != 0;
    return IsReady();
}

void VmFile::Close()
{
    CloseMap();
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    m_write = false;
}

void* VmFile::OpenMap(DWORD offset, DWORD length)
{
    CloseMap();
    if (!IsReady())
        return nullptr;
    // The mapping covers offset plus length, so a view past the first length bytes fits.
    ULONGLONG maxSize = length ? static_cast<ULONGLONG>(offset) + length : 0;
    m_map = CreateFileMappingA(m_file, NULL, m_write ? PAGE_READWRITE : PAGE_READONLY,
                               static_cast<DWORD>(maxSize >> 32), static_cast<DWORD>(maxSize),
                               NULL);
    if (!m_map)
        return nullptr;
    DWORD start = offset - offset % AllocGranularity();
    SIZE_T viewSize = length ? (offset - start) + static_cast<SIZE_T>(length) : 0;
    m_view = MapViewOfFile(m_map, m_write ? FILE_MAP_ALL_ACCESS : FILE_MAP_READ, 0, start,
                           viewSize);
    if (!m_view) {
        CloseMap();
        return nullptr;
    }
    return static_cast<BYTE*>(m_view) + (offset - start);
}

void VmFile::CloseMap()
{
    if (m_view)
        UnmapViewOfFile(m_view);
    m_view = nullptr;
    if (m_map)
        CloseHandle(m_map);
    m_map = NULL;
}

DWORD VmFile::MoveTo(LONG offset, DWORD method)
{
    if (!IsReady()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    return SetFilePointer(m_file, offset, NULL, method);
}

bool VmFile::SetEndOfFile()
{
    return IsReady() && ::SetEndOfFile(m_file);
}

bool VmFile::ReadBin(void* buffer, DWORD count, DWORD* done)
{
    if (done)
        *done = 0;
    if (!count)
        return true;
    if (!buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    DWORD moved = 0;
    BOOL ok = IsReady() && ReadFile(m_file, buffer, count, &moved, NULL);
    if (done)
        *done = moved;
    return ok && moved == count;
}

bool VmFile::WriteBin(const void* buffer, DWORD count, DWORD* done)
{
    if (done)
        *done = 0;
    if (!count)
        return true;
    if (!buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    DWORD moved = 0;
    BOOL ok = IsReady() && WriteFile(m_file, buffer, count, &moved, NULL);
    if (done)
        *done = moved;
    return ok && moved == count;
}

bool VmFile::CopyBinFrom(VmFile& source, void* buffer, DWORD count)
{
    if (!count)
        return true;
    return source.ReadBin(buffer, count) && WriteBin(buffer, count);
}

bool VmFile::ReadStr(char* text, int size)
{
    if (!text || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    text[0] = 0;
    unsigned char length = 0;
    if (!Read(length))
        return false;
    char stored[256];
    if (!ReadBin(stored, length))
        return false;
    stored[length] = 0;
    StrCopyN(text, stored, size);   // cut on a character boundary
    return true;
}

bool VmFile::WriteStr(const char* text)
{
    if (!text)
        text = "";
    size_t length = strlen(text);
    if (length > 255) {   // the length byte would wrap and the reader lose its place
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    unsigned char n = static_cast<unsigned char>(length);
    return Write(n) && WriteBin(text, n);
}

bool VmFile::puts(const char* format, ...)
{
    if (!format) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    char buffer[1024 + 2];   // room for the CR
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, 1024, format, args);
    va_end(args);
    if (n < 0)
        buffer[0] = 0;
    buffer[1023] = 0;
    // A cut may have split a double-byte character: end on a whole one.
    const char* end = buffer;
    while (*end) {
        const char* next = NextChar(end);
        if (next - end == 1 && IsLead(static_cast<BYTE>(*end)))
            break;   // a lead byte whose trail was cut away
        end = next;
    }
    size_t length = end - buffer;
    buffer[length] = 0;
    if (length > 1 && buffer[length - 1] == '\n' && buffer[length - 2] != '\r') {
        buffer[length - 1] = '\r';
        buffer[length++] = '\n';
        buffer[length] = 0;
    }
    return WriteBin(buffer, static_cast<DWORD>(length));
}

DWORD VmFile::GetSize() const
{
    if (!IsReady())
        return 0;
    DWORD size = GetFileSize(m_file, NULL);
    return size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR ? 0 : size;
}

bool VmFile::SetTime(const FILETIME* creation, const FILETIME* access, const FILETIME* write)
{
    return IsReady() && SetFileTime(m_file, creation, access, write);
}

bool VmFile::GetInfo(const char* path, WIN32_FIND_DATAA& data)
{
    if (IsEmptyPath(path))
        return false;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path, &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    data = found;
    return true;
}

DWORD VmFile::GetSize(const char* path)
{
    WIN32_FIND_DATAA data;
    return GetInfo(path, data) ? data.nFileSizeLow : 0;
}

bool VmFile::GetTime(const char* path, FILETIME* creation, FILETIME* access, FILETIME* write)
{
    WIN32_FIND_DATAA data;
    if (!GetInfo(path, data))
        return false;
    if (creation)
        *creation = data.ftCreationTime;
    if (access)
        *access = data.ftLastAccessTime;
    if (write)
        *write = data.ftLastWriteTime;
    return true;
}

bool VmFile::SetTime(const char* path, const FILETIME* creation, const FILETIME* access,
                     const FILETIME* write)
{
    VmFile file;
    return file.Open(path, true) && file.SetTime(creation, access, write);
}

DWORD VmFile::GetAttrib(const char* path)
{
    if (IsEmptyPath(path))
        return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesA(path);
}

bool VmFile::CanFind(const char* path)
{
    if (IsEmptyPath(path))
        return false;
    SetLastError(NO_ERROR);
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return true;
    return GetLastError() != ERROR_FILE_NOT_FOUND;
}

bool VmFile::Delete(const char* path)
{
    return !IsEmptyPath(path) && DeleteFileA(path);
}

bool VmFile::Copy(const char* target, const char* source, DWORD flags)
{
    if (IsEmptyPath(target) || IsEmptyPath(source))
        return false;
    bool targetFound = CanFind(target);
    if (targetFound && (flags & CopyKeepTarget))
        return true;
    if (!CanFind(source)) {
        if (targetFound)
            return (flags & CopyEmptyIfNoSource) ? true : Delete(target);
        if (flags & CopyEmptyIfNoSource) {
            VmFile empty;
            return empty.Open(target, true);
        }
        return true;
    }
    VmFile in, out;
    if (!in.Open(source, false) || !out.Open(target, true))
        return false;
    DWORD size = in.GetSize();
    if (!size)
        return out.SetEndOfFile();
    void* buffer = malloc(size);
    if (!buffer) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    bool ok = out.CopyBinFrom(in, buffer, size) && out.SetEndOfFile();
    free(buffer);
    return ok;
}

char* VmFile::ReadText(const char* path)
{
    VmFile file;
    if (!file.Open(path, false))
        return nullptr;
    DWORD size = file.GetSize();
    if (!size) {
        SetLastError(ERROR_EMPTY);
        return nullptr;
    }
    BYTE* buffer = static_cast<BYTE*>(size < 0xFFFFFFF0u ? malloc(size + 2) : nullptr);
    if (!buffer) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (!file.ReadBin(buffer, size)) {
        free(buffer);
        return nullptr;
    }
    buffer[size] = buffer[size + 1] = 0;

    bool little = size >= 2 && buffer[0] == 0xFF && buffer[1] == 0xFE;
    bool big = size >= 2 && buffer[0] == 0xFE && buffer[1] == 0xFF;
    if (little || big) {
        int chars = static_cast<int>((size - 2) / 2);
        WCHAR* wide = reinterpret_cast<WCHAR*>(buffer + 2);
        if (big)
            SwapPairs(buffer + 2, static_cast<size_t>(chars) * 2);
        // Measured first: on a double-byte code page one character may need two bytes.
        int bytes = chars ? WideCharToMultiByte(CP_ACP, 0, wide, chars, NULL, 0, NULL, NULL) : 0;
        char* text = static_cast<char*>(malloc(static_cast<size_t>(bytes) + 1));
        if (!text) {
            free(buffer);
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        int written = bytes ? WideCharToMultiByte(CP_ACP, 0, wide, chars, text, bytes, NULL, NULL)
                            : 0;
        text[written > 0 ? written : 0] = 0;
        free(buffer);
        return text;
    }
    if (size >= 3 && buffer[0] == 0xEF && buffer[1] == 0xBB && buffer[2] == 0xBF)
        memmove(buffer, buffer + 3, size + 2 - 3);   // keeps both terminating zeros
    return reinterpret_cast<char*>(buffer);
}

void VmFile::FreeText(void* text)
{
    free(text);
}

void FreeDllBuf(void* buffer)
{
    VmFile::FreeText(buffer);
}

bool VmFile::WriteText(const char* path, const char* text, int format)
{
    if (!text || format < VmFileAnsi || format > VmFileUtf8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    VmFile file;
    if (!file.Open(path, true))
        return false;

    BYTE* block = nullptr;
    const void* bytes = text;
    size_t count = strlen(text);
    if (format == VmFileUnicode || format == VmFileUnicodeBE) {
        int chars = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);   // with the zero
        if (chars <= 0)
            return false;
        WCHAR* wide = static_cast<WCHAR*>(malloc((static_cast<size_t>(chars) + 1) * 2));
        if (!wide) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        wide[0] = 0xFEFF;
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide + 1, chars);
        count = (static_cast<size_t>(chars) + 1) * 2;
        block = reinterpret_cast<BYTE*>(wide);
        if (format == VmFileUnicodeBE)
            SwapPairs(block, count);
        bytes = block;
    } else if (format == VmFileUtf8) {
        block = static_cast<BYTE*>(malloc(count + 3));
        if (!block) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        block[0] = 0xEF;
        block[1] = 0xBB;
        block[2] = 0xBF;
        memcpy(block + 3, text, count);
        count += 3;
        bytes = block;
    }
    if (count > 0xFFFFFFFFu) {
        free(block);
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    SetLastError(NO_ERROR);
    DWORD done = 0;
    bool complete = file.WriteBin(bytes, static_cast<DWORD>(count), &done);
    free(block);
    if (complete && !file.SetEndOfFile())
        complete = false;
    if (complete)
        SetLastError(NO_ERROR);
    else if (GetLastError() == NO_ERROR)
        SetLastError(ERROR_WRITE_FAULT);
    DWORD error = GetLastError();
    file.Close();
    SetLastError(error);
    return error == NO_ERROR;
}

HRESULT VmFileStream::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IStream)) {
        *out = static_cast<IStream*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT VmFileStream::Read(void* buffer, ULONG count, ULONG* done)
{
    if (done)
        *done = 0;
    if (!m_file)
        return E_UNEXPECTED;
    if (!buffer && count)
        return STG_E_INVALIDPOINTER;
    try {
        DWORD moved = 0;
        m_file->ReadBin(buffer, count, &moved);   // a short read shows in the count
        if (done)
            *done = moved;
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT VmFileStream::Write(const void* buffer, ULONG count, ULONG* done)
{
    if (done)
        *done = 0;
    if (!m_file)
        return E_UNEXPECTED;
    if (!buffer && count)
        return STG_E_INVALIDPOINTER;
    try {
        DWORD moved = 0;
        m_file->WriteBin(buffer, count, &moved);
        if (done)
            *done = moved;
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT VmFileStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPos)
{
    if (!m_file)
        return E_UNEXPECTED;
    // Only distances that fit a signed 32-bit value: the file layer moves by 32 bits.
    LONG distance = static_cast<LONG>(move.LowPart);
    if (!((move.HighPart == 0 && distance >= 0) || (move.HighPart == -1 && distance < 0)))
        return E_NOTIMPL;
    if (origin > STREAM_SEEK_END)
        return STG_E_INVALIDFUNCTION;
    try {
        SetLastError(NO_ERROR);
        DWORD pos = m_file->MoveTo(distance, origin);
        if (pos == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
            return STG_E_INVALIDFUNCTION;   // e.g. before the start: not a position
        if (newPos)
            newPos->QuadPart = pos;
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

VmFileAttrib::VmFileAttrib(const char* path, DWORD attributes)
    : m_path(path), m_attrib(VmFile::GetAttrib(path))
{
    if (m_attrib != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(m_path, attributes);
}

VmFileAttrib::~VmFileAttrib()
{
    if (m_attrib != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(m_path, m_attrib);
}

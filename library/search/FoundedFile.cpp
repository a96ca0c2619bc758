#include "search/FoundedFile.h"

#include "search/tovFoundedFiles.h"

#include "files/FileAccess.h"
#include "files/FileSystem.h"
#include "files/LocalTime.h"

#include <tovrin/tovrinsupport.h>

#include <cwchar>

namespace tovrin {

namespace {

// A name field of the find record, up to its NUL.
std::wstring NameText(const wchar_t* field, size_t size)
{
    return std::wstring(field, wcsnlen(field, size));
}

} // namespace

FoundedFile::FoundedFile(const WIN32_FIND_DATAW& entry, std::shared_ptr<const std::wstring> searched,
                         std::shared_ptr<const std::wstring> path)
    : m_entry(entry), m_searched(std::move(searched)), m_path(path ? std::move(path) : m_searched)
{
}

FoundedFile::~FoundedFile() = default;

ComPtr<FoundedFile> FoundedFile::Create(const WIN32_FIND_DATAW& entry, std::shared_ptr<const std::wstring> searched,
                                        std::shared_ptr<const std::wstring> path)
{
    return Dispatch::Create(entry, std::move(searched), std::move(path));
}

tovFoundedFiles& FoundedFile::Children()
{
    if (!m_children)
        m_children = tovFoundedFiles::Create();
    return *m_children.get();
}

bool FoundedFile::Cancelled() const
{
    return m_children && m_children->Cancelled();
}

// A folder's size is that of the matches below it, summed at the first read.
double FoundedFile::FileSize()
{
    if (m_fileSizeCache == -1) {
        if (IsDirectory()) {
            m_fileSizeCache = m_children ? m_children->Size() : 0;
        } else {
            LARGE_INTEGER size = {};
            size.LowPart = m_entry.nFileSizeLow;
            size.HighPart = static_cast<LONG>(m_entry.nFileSizeHigh);
            Check(asLargeIntegerToDouble(&size, &m_fileSizeCache));
        }
    }
    return m_fileSizeCache;
}

std::wstring FoundedFile::FullName() const
{
    if (m_path != m_searched)
        return *m_searched; // the search named the item itself
    return JoinFileName(*m_searched, NameText(m_entry.cFileName, MAX_PATH));
}

HRESULT FoundedFile::HasAttribute(DWORD bit, VARIANT_BOOL* RetVal) const
{
    return Member(RetVal, [&] { return (m_entry.dwFileAttributes & bit) != 0; });
}

// The time as tovFSO's GetFileDateTime gives it. A time the system gives
// no local date reads as 0, unreported: a record's times never fail.
HRESULT FoundedFile::LocalTime(const FILETIME& time, DATE* RetVal) const
{
    return Member(RetVal, [&] {
        DATE date = 0;
        FileTimeToLocalDate(time, date);
        return date;
    });
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_Childs(_tovFoundedFiles** RetVal)
{
    return Member(RetVal, [&] { return ComPtr<tovFoundedFiles>::Copy(&Children()); });
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_Path(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(*m_path); });
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_FileAttributes(long* RetVal)
{
    return Member(RetVal, [&] { return static_cast<long>(m_entry.dwFileAttributes); });
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeReadOnly(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_READONLY, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeHidden(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_HIDDEN, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeSystem(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_SYSTEM, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeDirectory(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_DIRECTORY, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeArchive(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_ARCHIVE, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeDevice(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_DEVICE, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeTemporary(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_TEMPORARY, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeSparseFile(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_SPARSE_FILE, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeReparsePoint(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_REPARSE_POINT, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeCompressed(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_COMPRESSED, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeOffline(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_OFFLINE, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeNotContentIndexed(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_AttributeEncrypted(VARIANT_BOOL* RetVal)
{
    return HasAttribute(FILE_ATTRIBUTE_ENCRYPTED, RetVal);
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_CreationTime(DATE* RetVal)
{
    return LocalTime(m_entry.ftCreationTime, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_LastAccessTime(DATE* RetVal)
{
    return LocalTime(m_entry.ftLastAccessTime, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_LastWriteTime(DATE* RetVal)
{
    return LocalTime(m_entry.ftLastWriteTime, RetVal);
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_FileSize(double* RetVal)
{
    return Member(RetVal, [&] { return FileSize(); });
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_CompressedFileSize(double* RetVal)
{
    // Asked of the system at the first read; where the system cannot say,
    // the file's size stands in.
    return Member(RetVal, [&] {
        if (m_compressedSizeCache == -1) {
            DWORD high = 0;
            ::SetLastError(0);
            DWORD low = FileSystem().CompressedSize(FullName(), &high);
            if (::GetLastError() != 0) {
                m_compressedSizeCache = FileSize();
            } else {
                LARGE_INTEGER size = {};
                size.LowPart = low;
                size.HighPart = static_cast<LONG>(high);
                Check(asLargeIntegerToDouble(&size, &m_compressedSizeCache));
            }
        }
        return m_compressedSizeCache;
    });
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_FileName(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(NameText(m_entry.cFileName, MAX_PATH)); });
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_AlternateFileName(BSTR* RetVal)
{
    return Member(RetVal,
                  [&] { return Bstr::From(NameText(m_entry.cAlternateFileName, 14)); });
}

} // namespace tovrin

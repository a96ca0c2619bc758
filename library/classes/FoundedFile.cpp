#include "classes/FoundedFile.h"

#include "classes/tovFoundedFiles.h"

#include "files/FileAccess.h"
#include "files/LocalTime.h"
#include "search/CompressedSize.h"

#include <tovrin/tovrinsupport.h>

namespace tovrin {

namespace {

// A size as the support library turns it into a number.
double AsDouble(uint64_t bytes)
{
    LARGE_INTEGER size = {};
    size.QuadPart = static_cast<LONGLONG>(bytes);
    double value = 0;
    Check(asLargeIntegerToDouble(&size, &value));
    return value;
}

} // namespace

FoundedFile::FoundedFile(std::shared_ptr<FoundTree> tree, uint32_t position, std::shared_ptr<const std::wstring> folder,
                         std::shared_ptr<const std::wstring> named)
    : m_tree(std::move(tree)), m_position(position), m_folder(std::move(folder)), m_named(std::move(named))
{
}

FoundedFile::~FoundedFile() = default;

ComPtr<FoundedFile> FoundedFile::Create(std::shared_ptr<FoundTree> tree, uint32_t position,
                                        std::shared_ptr<const std::wstring> folder,
                                        std::shared_ptr<const std::wstring> named)
{
    return Dispatch::Create(std::move(tree), position, std::move(folder), std::move(named));
}

double FoundedFile::SizeOf(FoundTree& tree, uint32_t position)
{
    return AsDouble(tree.Size(position));
}

std::wstring FoundedFile::FullName() const
{
    if (m_named)
        return *m_named;
    return JoinFileName(*m_folder, m_tree->Name(m_position));
}

HRESULT FoundedFile::HasAttribute(DWORD bit, VARIANT_BOOL* RetVal) const
{
    return Member(RetVal, [&] { return (Entry().Attributes & bit) != 0; });
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
    return Member(RetVal, [&] {
        if (!m_children) {
            const FoundTree::Entry& entry = Entry();
            auto path = std::make_shared<const std::wstring>((entry.Flags & FoundTree::Searched) ? FullName()
                                                                                                   : std::wstring());
            m_children = tovFoundedFiles::View(m_tree, entry.FirstChild, entry.ChildCount, std::move(path));
        }
        return m_children;
    });
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_Path(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(*m_folder); });
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_FileAttributes(long* RetVal)
{
    return Member(RetVal, [&] { return static_cast<long>(Entry().Attributes); });
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
    return LocalTime(Entry().CreationTime, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_LastAccessTime(DATE* RetVal)
{
    return LocalTime(Entry().LastAccessTime, RetVal);
}
HRESULT STDMETHODCALLTYPE FoundedFile::get_LastWriteTime(DATE* RetVal)
{
    return LocalTime(Entry().LastWriteTime, RetVal);
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
            const std::optional<uint64_t> compressed = CompressedFileSize(FullName());
            m_compressedSizeCache = compressed ? AsDouble(*compressed) : FileSize();
        }
        return m_compressedSizeCache;
    });
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_FileName(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_tree->Name(m_position)); });
}

HRESULT STDMETHODCALLTYPE FoundedFile::get_AlternateFileName(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_tree->ShortName(m_position)); });
}

} // namespace tovrin

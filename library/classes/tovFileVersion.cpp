#include "classes/tovFileVersion.h"

#include "files/FileAccess.h"

#include <tovrin/CodePage.h>
#include <tovrin/SafeArrayBytes.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace tovrin {

void tovFileVersion::ClearAll()
{
    m_fileName.clear();
    std::vector<BYTE>().swap(m_info);
    m_fixed = VS_FIXEDFILEINFO();
    m_language = 0;
    m_codePage = 0;
}

namespace {

// One record of a version block: a length, a value length, a type (1 for
// text, whose value length counts characters), a key ending in NUL, the
// value and the child records, each part starting on a 4-byte boundary.
struct VersionNode {
    size_t Length = 0;
    std::wstring Key;
    size_t Value = 0, ValueSize = 0; // offsets from the record's start
    size_t Children = 0;
};

size_t Align4(size_t offset)
{
    return (offset + 3) & ~static_cast<size_t>(3);
}

WORD WordAt(const BYTE* bytes)
{
    WORD value = 0;
    std::memcpy(&value, bytes, sizeof(value));
    return value;
}

// The record at begin, which has room bytes; false when it does not fit.
bool ParseNode(const BYTE* begin, size_t room, VersionNode& node)
{
    if (room < 6)
        return false;
    const size_t length = WordAt(begin), valueLength = WordAt(begin + 2), type = WordAt(begin + 4);
    if (length < 6 || length > room)
        return false;
    size_t end = 6;
    node.Key.clear();
    for (;; end += 2) {
        if (end + 2 > length)
            return false; // the key runs past the record
        const wchar_t c = static_cast<wchar_t>(WordAt(begin + end));
        if (c == L'\0')
            break;
        node.Key += c;
    }
    node.Length = length;
    node.Value = std::min(Align4(end + 2), length);
    // Text values count characters (some tools write bytes); a value that
    // runs past its record is a record that does not hold together.
    const size_t space = length - node.Value;
    node.ValueSize = type == 1 && valueLength * 2 > space ? valueLength : (type == 1 ? valueLength * 2 : valueLength);
    if (node.ValueSize > space)
        return false;
    node.Children = std::min(Align4(node.Value + node.ValueSize), length);
    return true;
}

} // namespace

const BYTE* tovFileVersion::Query(const std::wstring& path, UINT& length) const
{
    length = 0;
    VersionNode node;
    const BYTE* begin = m_info.data();
    if (!ParseNode(begin, m_info.size(), node))
        return nullptr;
    for (size_t position = 1; position < path.size();) {
        size_t next = path.find(L'\\', position);
        if (next == std::wstring::npos)
            next = path.size();
        const std::wstring wanted = path.substr(position, next - position);
        position = next + 1;
        bool found = false;
        for (size_t child = node.Children; child + 6 <= node.Length && !found;) {
            VersionNode candidate;
            if (!ParseNode(begin + child, node.Length - child, candidate))
                return nullptr;
            if (::CompareStringOrdinal(candidate.Key.c_str(), -1, wanted.c_str(), -1, TRUE) == CSTR_EQUAL) {
                begin += child;
                node = candidate;
                found = true;
            }
            child = Align4(child + candidate.Length);
        }
        if (!found)
            return nullptr;
    }
    length = static_cast<UINT>(node.ValueSize);
    return node.ValueSize > 0 ? begin + node.Value : nullptr;
}

// The four steps of reading; any failure leaves the object cleared, also of
// a file read before.
bool tovFileVersion::Read(BSTR fileName)
{
    ClearAll();
    const std::optional<std::wstring> checked = CheckedFileName(fileName);
    if (!checked || checked->empty())
        return false;
    const std::wstring name = LongForm(*checked);
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(name.c_str(), &handle);
    if (size == 0)
        return false;
    m_info.assign(size, 0);
    UINT length = 0;
    const BYTE* fixed = nullptr;
    const BYTE* translation = nullptr;
    if (::GetFileVersionInfoW(name.c_str(), handle, size, m_info.data()) &&
        (fixed = Query(L"\\", length)) != nullptr && length == sizeof(VS_FIXEDFILEINFO)) {
        std::memcpy(&m_fixed, fixed, sizeof(m_fixed));
        translation = Query(L"\\VarFileInfo\\Translation", length);
    }
    if (!translation || length == 0 || length % 4 != 0) {
        ClearAll();
        return false;
    }
    // Only the first entry counts: its low word is the language, its high
    // word the code page.
    std::memcpy(&m_language, translation, 2);
    std::memcpy(&m_codePage, translation + 2, 2);
    m_fileName = *checked;
    return true;
}

HRESULT tovFileVersion::Number(DWORD value, long* RetVal) const
{
    return Member(RetVal, [&] { return static_cast<long>(value); });
}

// A flag counts only where the mask says it is valid.
HRESULT tovFileVersion::Flag(DWORD bit, VARIANT_BOOL* RetVal) const
{
    return Member(RetVal, [&] { return (m_fixed.dwFileFlags & m_fixed.dwFileFlagsMask & bit) != 0; });
}

// A standard string of the first translation's table, and no other.
HRESULT tovFileVersion::VersionString(const wchar_t* name, VARIANT_BOOL* lpStringExist, BSTR* RetVal) const
{
    return Member(
        RetVal,
        [&] {
            wchar_t key[9];
            std::swprintf(key, 9, L"%04X%04X", m_language, m_codePage);
            UINT length = 0;
            const BYTE* text = Query(std::wstring(L"\\StringFileInfo\\") + key + L"\\" + name, length);
            if (!text)
                return Bstr();
            if (lpStringExist)
                *lpStringExist = VARIANT_TRUE;
            std::wstring value(length / 2, L'\0');
            std::memcpy(&value[0], text, value.size() * sizeof(wchar_t));
            value.resize(std::wcslen(value.c_str())); // up to the terminating NUL
            return Bstr::From(value);
        },
        lpStringExist);
}

HRESULT STDMETHODCALLTYPE tovFileVersion::Clear()
{
    return Member([&] { ClearAll(); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::ReadFile(BSTR FileName, VARIANT_BOOL* RetVal)
{
    return Member(RetVal, [&] { return Read(FileName); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileName(BSTR* RetVal)
{
    return Member(RetVal, [&] { return Bstr::From(m_fileName); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_InfoBuffer(SAFEARRAY** RetVal)
{
    return Member(RetVal, [&] {
        SafeArray bytes = MakeUnfilledByteArray(m_info.size());
        if (!m_info.empty()) {
            SafeArrayData data(bytes.get());
            std::memcpy(data.get(), m_info.data(), m_info.size());
        }
        return bytes;
    });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileDateLS(long* RetVal)
{
    return Number(m_fixed.dwFileDateLS, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileDateMS(long* RetVal)
{
    return Number(m_fixed.dwFileDateMS, RetVal);
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileSubType(FileSubType_Const* RetVal)
{
    return Member(RetVal, [&] { return static_cast<FileSubType_Const>(m_fixed.dwFileSubtype); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileType(FileType_Const* RetVal)
{
    return Member(RetVal, [&] { return static_cast<FileType_Const>(m_fixed.dwFileType); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileOS(FileOS_Const* RetVal)
{
    return Member(RetVal, [&] { return static_cast<FileOS_Const>(m_fixed.dwFileOS); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_Signature(long* RetVal)
{
    return Number(m_fixed.dwSignature, RetVal);
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrucVerMajor(short* RetVal)
{
    return Member(RetVal, [&] { return static_cast<short>(HIWORD(m_fixed.dwStrucVersion)); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrucVerMinor(short* RetVal)
{
    return Member(RetVal, [&] { return static_cast<short>(LOWORD(m_fixed.dwStrucVersion)); });
}

// Version parts are unsigned: a part of 40000 reads 40000.
HRESULT STDMETHODCALLTYPE tovFileVersion::get_ProductVerMajor(long* RetVal)
{
    return Number(HIWORD(m_fixed.dwProductVersionMS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_ProductVerMinor(long* RetVal)
{
    return Number(LOWORD(m_fixed.dwProductVersionMS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_ProductVerRevisionMajor(long* RetVal)
{
    return Number(HIWORD(m_fixed.dwProductVersionLS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_ProductVerRevisionMinor(long* RetVal)
{
    return Number(LOWORD(m_fixed.dwProductVersionLS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileVerMajor(long* RetVal)
{
    return Number(HIWORD(m_fixed.dwFileVersionMS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileVerMinor(long* RetVal)
{
    return Number(LOWORD(m_fixed.dwFileVersionMS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileVerRevisionMajor(long* RetVal)
{
    return Number(HIWORD(m_fixed.dwFileVersionLS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileVerRevisionMinor(long* RetVal)
{
    return Number(LOWORD(m_fixed.dwFileVersionLS), RetVal);
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileFlags(long* RetVal)
{
    return Number(m_fixed.dwFileFlags, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileFlagsMask(long* RetVal)
{
    return Number(m_fixed.dwFileFlagsMask, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileFlagDebug(VARIANT_BOOL* RetVal)
{
    return Flag(VS_FF_DEBUG, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileFlagSpecialBuild(VARIANT_BOOL* RetVal)
{
    return Flag(VS_FF_SPECIALBUILD, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileFlagPrivateBuild(VARIANT_BOOL* RetVal)
{
    return Flag(VS_FF_PRIVATEBUILD, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileFlagPreRelease(VARIANT_BOOL* RetVal)
{
    return Flag(VS_FF_PRERELEASE, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileFlagPatched(VARIANT_BOOL* RetVal)
{
    return Flag(VS_FF_PATCHED, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileFlagInfoInferred(VARIANT_BOOL* RetVal)
{
    return Flag(VS_FF_INFOINFERRED, RetVal);
}

// Identifiers above 32767 arrive as negative 16-bit numbers.
HRESULT STDMETHODCALLTYPE tovFileVersion::GetLanguageName(short LanguageID, BSTR* RetVal)
{
    return Member(RetVal, [&] {
        wchar_t name[1025] = {};
        ::VerLanguageNameW(static_cast<USHORT>(LanguageID), name, 1024);
        return Bstr::From(std::wstring(name, wcsnlen(name, 1024)));
    });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_TranslationLanguageID(short* RetVal)
{
    return Member(RetVal, [&] { return static_cast<short>(m_language); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_TranslationCharset(short* RetVal)
{
    return Member(RetVal, [&] { return static_cast<short>(m_codePage); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_TranslationLanguageName(BSTR* RetVal)
{
    return GetLanguageName(static_cast<short>(m_language), RetVal);
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrComments(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"Comments", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrCompanyName(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"CompanyName", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrFileDescription(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"FileDescription", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrFileVersion(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"FileVersion", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrInternalName(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"InternalName", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrLegalCopyright(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"LegalCopyright", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrLegalTrademarks(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"LegalTrademarks", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrOLESelfRegister(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"OLESelfRegister", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrOriginalFilename(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"OriginalFilename", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrPrivateBuild(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"PrivateBuild", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrProductName(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"ProductName", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrProductVersion(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"ProductVersion", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrSpecialBuild(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString(L"SpecialBuild", lpStringExist, RetVal);
}

} // namespace tovrin

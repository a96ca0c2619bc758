#include "information/tovFileVersion.h"

#include "files/FileAccess.h"

#include <tovrin/CodePage.h>
#include <tovrin/SafeArrayBytes.h>

#include <cstdio>
#include <cstring>

namespace tovrin {

void tovFileVersion::ClearAll()
{
    m_fileName.clear();
    std::vector<BYTE>().swap(m_info);
    m_fixed = VS_FIXEDFILEINFO();
    m_language = 0;
    m_codePage = 0;
}

const BYTE* tovFileVersion::Query(const std::string& subBlock, UINT& length) const
{
    void* value = nullptr;
    length = 0;
    if (m_info.empty() || !::VerQueryValueA(const_cast<BYTE*>(m_info.data()), subBlock.c_str(), &value, &length) ||
        !value)
        return nullptr;
    // The platform parses the block; a block whose lengths point past its
    // end must not make us read past it.
    const BYTE* begin = static_cast<const BYTE*>(value);
    if (begin < m_info.data() || begin > m_info.data() + m_info.size() ||
        length > static_cast<size_t>(m_info.data() + m_info.size() - begin))
        return nullptr;
    return begin;
}

// The four steps of reading; any failure leaves the object cleared, also of
// a file read before.
bool tovFileVersion::Read(BSTR fileName)
{
    ClearAll();
    const std::optional<std::string> systemName = SystemFileName(fileName);
    if (!systemName)
        return false;
    const std::string& name = *systemName;
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeA(name.c_str(), &handle);
    if (size == 0)
        return false;
    m_info.assign(size, 0);
    UINT length = 0;
    const BYTE* fixed = nullptr;
    const BYTE* translation = nullptr;
    if (::GetFileVersionInfoA(name.c_str(), handle, size, m_info.data()) && (fixed = Query("\\", length)) != nullptr &&
        length == sizeof(VS_FIXEDFILEINFO)) {
        std::memcpy(&m_fixed, fixed, sizeof(m_fixed));
        translation = Query("\\VarFileInfo\\Translation", length);
    }
    if (!translation || length == 0 || length % 4 != 0) {
        ClearAll();
        return false;
    }
    // Only the first entry counts: its low word is the language, its high
    // word the code page.
    std::memcpy(&m_language, translation, 2);
    std::memcpy(&m_codePage, translation + 2, 2);
    m_fileName = Bstr::ToString(fileName);
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
HRESULT tovFileVersion::VersionString(const char* name, VARIANT_BOOL* lpStringExist, BSTR* RetVal) const
{
    return Member(
        RetVal,
        [&] {
            char key[9];
            std::snprintf(key, sizeof(key), "%04X%04X", m_language, m_codePage);
            UINT length = 0;
            const BYTE* text = Query(std::string("\\StringFileInfo\\") + key + "\\" + name, length);
            if (!text || length == 0)
                return Bstr();
            if (lpStringExist)
                *lpStringExist = VARIANT_TRUE;
            const char* begin = reinterpret_cast<const char*>(text);
            size_t room = static_cast<size_t>(m_info.data() + m_info.size() - text);
            return Bstr::From(FromCodePage(CP_ACP, begin, strnlen(begin, room)));
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
        char name[1025] = {};
        ::VerLanguageNameA(static_cast<USHORT>(LanguageID), name, 1024);
        return Bstr::From(FromCodePage(CP_ACP, name, strnlen(name, sizeof(name))));
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
    return VersionString("Comments", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrCompanyName(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("CompanyName", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrFileDescription(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("FileDescription", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrFileVersion(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("FileVersion", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrInternalName(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("InternalName", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrLegalCopyright(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("LegalCopyright", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrLegalTrademarks(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("LegalTrademarks", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrOLESelfRegister(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("OLESelfRegister", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrOriginalFilename(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("OriginalFilename", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrPrivateBuild(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("PrivateBuild", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrProductName(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("ProductName", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrProductVersion(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("ProductVersion", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrSpecialBuild(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return VersionString("SpecialBuild", lpStringExist, RetVal);
}

} // namespace tovrin

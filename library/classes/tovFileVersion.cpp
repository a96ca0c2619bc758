#include "classes/tovFileVersion.h"

#include "files/FileAccess.h"

#include <tovrin/SafeArrayBytes.h>

#include <cstring>

namespace tovrin {

void tovFileVersion::ClearAll()
{
    m_fileName.clear();
    m_version = VersionResource();
}

// Any failure leaves the object cleared, also of a file read before.
bool tovFileVersion::Read(BSTR fileName)
{
    ClearAll();
    const std::optional<std::wstring> checked = CheckedFileName(fileName);
    if (!checked || checked->empty())
        return false;
    std::optional<VersionResource> version = ReadVersionResource(*checked);
    if (!version)
        return false;
    m_version = std::move(*version);
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
    return Member(RetVal, [&] { return (m_version.Fixed.dwFileFlags & m_version.Fixed.dwFileFlagsMask & bit) != 0; });
}

// A standard string of the first translation's table, and no other.
HRESULT tovFileVersion::StandardString(const wchar_t* name, VARIANT_BOOL* lpStringExist, BSTR* RetVal) const
{
    return Member(
        RetVal,
        [&] {
            const std::optional<std::wstring> value = VersionString(m_version, name);
            if (!value)
                return Bstr();
            if (lpStringExist)
                *lpStringExist = VARIANT_TRUE;
            return Bstr::From(*value);
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
        const std::vector<uint8_t>& block = m_version.Block;
        SafeArray bytes = MakeUnfilledByteArray(block.size());
        if (!block.empty()) {
            SafeArrayData data(bytes.get());
            std::memcpy(data.get(), block.data(), block.size());
        }
        return bytes;
    });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileDateLS(long* RetVal)
{
    return Number(m_version.Fixed.dwFileDateLS, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileDateMS(long* RetVal)
{
    return Number(m_version.Fixed.dwFileDateMS, RetVal);
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileSubType(FileSubType_Const* RetVal)
{
    return Member(RetVal, [&] { return static_cast<FileSubType_Const>(m_version.Fixed.dwFileSubtype); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileType(FileType_Const* RetVal)
{
    return Member(RetVal, [&] { return static_cast<FileType_Const>(m_version.Fixed.dwFileType); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileOS(FileOS_Const* RetVal)
{
    return Member(RetVal, [&] { return static_cast<FileOS_Const>(m_version.Fixed.dwFileOS); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_Signature(long* RetVal)
{
    return Number(m_version.Fixed.dwSignature, RetVal);
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrucVerMajor(short* RetVal)
{
    return Member(RetVal, [&] { return static_cast<short>(HIWORD(m_version.Fixed.dwStrucVersion)); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrucVerMinor(short* RetVal)
{
    return Member(RetVal, [&] { return static_cast<short>(LOWORD(m_version.Fixed.dwStrucVersion)); });
}

// Version parts are unsigned: a part of 40000 reads 40000.
HRESULT STDMETHODCALLTYPE tovFileVersion::get_ProductVerMajor(long* RetVal)
{
    return Number(HIWORD(m_version.Fixed.dwProductVersionMS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_ProductVerMinor(long* RetVal)
{
    return Number(LOWORD(m_version.Fixed.dwProductVersionMS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_ProductVerRevisionMajor(long* RetVal)
{
    return Number(HIWORD(m_version.Fixed.dwProductVersionLS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_ProductVerRevisionMinor(long* RetVal)
{
    return Number(LOWORD(m_version.Fixed.dwProductVersionLS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileVerMajor(long* RetVal)
{
    return Number(HIWORD(m_version.Fixed.dwFileVersionMS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileVerMinor(long* RetVal)
{
    return Number(LOWORD(m_version.Fixed.dwFileVersionMS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileVerRevisionMajor(long* RetVal)
{
    return Number(HIWORD(m_version.Fixed.dwFileVersionLS), RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileVerRevisionMinor(long* RetVal)
{
    return Number(LOWORD(m_version.Fixed.dwFileVersionLS), RetVal);
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileFlags(long* RetVal)
{
    return Number(m_version.Fixed.dwFileFlags, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_FileFlagsMask(long* RetVal)
{
    return Number(m_version.Fixed.dwFileFlagsMask, RetVal);
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
    return Member(RetVal, [&] { return Bstr::From(LanguageName(static_cast<uint16_t>(LanguageID))); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_TranslationLanguageID(short* RetVal)
{
    return Member(RetVal, [&] { return static_cast<short>(m_version.Language); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_TranslationCharset(short* RetVal)
{
    return Member(RetVal, [&] { return static_cast<short>(m_version.CodePage); });
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_TranslationLanguageName(BSTR* RetVal)
{
    return GetLanguageName(static_cast<short>(m_version.Language), RetVal);
}

HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrComments(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"Comments", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrCompanyName(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"CompanyName", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrFileDescription(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"FileDescription", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrFileVersion(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"FileVersion", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrInternalName(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"InternalName", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrLegalCopyright(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"LegalCopyright", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrLegalTrademarks(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"LegalTrademarks", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrOLESelfRegister(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"OLESelfRegister", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrOriginalFilename(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"OriginalFilename", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrPrivateBuild(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"PrivateBuild", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrProductName(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"ProductName", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrProductVersion(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"ProductVersion", lpStringExist, RetVal);
}
HRESULT STDMETHODCALLTYPE tovFileVersion::get_StrSpecialBuild(VARIANT_BOOL* lpStringExist, BSTR* RetVal)
{
    return StandardString(L"SpecialBuild", lpStringExist, RetVal);
}

} // namespace tovrin

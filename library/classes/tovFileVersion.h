// tovFileVersion: the version resource of one executable file, read once
// and kept: the fixed information split into numbers and flags, the first
// translation, the standard strings of that translation's table, and
// language names.
#pragma once

#include "com/Dispatch.h"
#include "information/VersionResource.h"

#include "Ormelin0105.h"

#include <string>

namespace tovrin {

class tovFileVersion final : public Dispatch<tovFileVersion, _tovFileVersion> {
public:
    static REFIID InterfaceId() { return IID__tovFileVersion; }
    static constexpr wchar_t Source[] = L"tovFileVersion";

    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE ReadFile(BSTR FileName, VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileName(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_InfoBuffer(SAFEARRAY** RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileDateLS(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileDateMS(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileSubType(FileSubType_Const* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileType(FileType_Const* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileOS(FileOS_Const* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_Signature(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrucVerMajor(short* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrucVerMinor(short* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ProductVerMajor(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ProductVerMinor(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ProductVerRevisionMajor(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_ProductVerRevisionMinor(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileVerMajor(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileVerMinor(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileVerRevisionMajor(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileVerRevisionMinor(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileFlags(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileFlagsMask(long* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileFlagDebug(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileFlagSpecialBuild(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileFlagPrivateBuild(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileFlagPreRelease(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileFlagPatched(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_FileFlagInfoInferred(VARIANT_BOOL* RetVal) override;
    HRESULT STDMETHODCALLTYPE GetLanguageName(short LanguageID, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_TranslationLanguageID(short* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_TranslationCharset(short* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_TranslationLanguageName(BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrComments(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrCompanyName(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrFileDescription(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrFileVersion(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrInternalName(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrLegalCopyright(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrLegalTrademarks(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrOLESelfRegister(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrOriginalFilename(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrPrivateBuild(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrProductName(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrProductVersion(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;
    HRESULT STDMETHODCALLTYPE get_StrSpecialBuild(VARIANT_BOOL* lpStringExist, BSTR* RetVal) override;

private:
    friend class Dispatch<tovFileVersion, _tovFileVersion>;
    tovFileVersion() = default;

    void ClearAll();
    bool Read(BSTR fileName);
    HRESULT Number(DWORD value, long* RetVal) const;
    HRESULT Flag(DWORD bit, VARIANT_BOOL* RetVal) const;
    HRESULT StandardString(const wchar_t* name, VARIANT_BOOL* lpStringExist, BSTR* RetVal) const;

    std::wstring m_fileName;
    VersionResource m_version; // empty when nothing is loaded
};

} // namespace tovrin

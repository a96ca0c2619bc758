// tovrinsupport0100.dll: numbers and byte counts for display, icons, code-page
// conversions, string helpers and INI keys. The forms are described in
// tovrinsupport.h.
#define TOVRINSUPPORT_BUILD
#include <tovrin/tovrinsupport.h>

#include "Export.h"
#include <tovrin/SafeArrayBytes.h>

#include <tovrin/CodePage.h>
#include <tovrin/Trim.h>

#include <olectl.h>

#include <cmath>
#include <cstdio>
#include <vector>

using namespace tovrin::support;
using tovrin::Bstr;
using tovrin::FromCodePage;
using tovrin::ToCodePage;

namespace {

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback)
{
    wchar_t buffer[16] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, ARRAYSIZE(buffer)) <= 0)
        return fallback;
    return buffer;
}

UINT LocaleNumber(LCTYPE type, UINT fallback)
{
    DWORD value = 0;
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&value),
                         sizeof(value) / sizeof(wchar_t)) <= 0)
        return fallback;
    return value;
}

// The locale's grouping text ("3;0", "3;2;0", "3") in the packed form that
// NUMBERFMT wants (3, 32, 30).
UINT LocaleGrouping()
{
    std::wstring text = LocaleText(LOCALE_SGROUPING, L"3;0");
    UINT grouping = 0;
    bool endsWithZero = false;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c < L'0' || c > L'9')
            continue;
        endsWithZero = (c == L'0' && i + 1 == text.size());
        if (!endsWithZero)
            grouping = grouping * 10 + (c - L'0');
    }
    return endsWithZero ? grouping : grouping * 10;
}

std::wstring FormatGrouped(long long value)
{
    std::wstring decimal = LocaleText(LOCALE_SDECIMAL, L".");
    std::wstring thousand = LocaleText(LOCALE_STHOUSAND, L",");
    NUMBERFMTW format = {};
    format.NumDigits = 0;
    format.LeadingZero = 1;
    format.Grouping = LocaleGrouping();
    format.lpDecimalSep = &decimal[0];
    format.lpThousandSep = &thousand[0];
    format.NegativeOrder = LocaleNumber(LOCALE_INEGNUMBER, 1);

    std::wstring digits = std::to_wstring(value);
    wchar_t buffer[64] = {};
    if (::GetNumberFormatW(LOCALE_USER_DEFAULT, 0, digits.c_str(), &format, buffer, ARRAYSIZE(buffer)) <= 0)
        return digits;
    return buffer;
}

std::wstring FormatByteSize(double bytes)
{
    Require(std::isfinite(bytes) && bytes >= 0);
    if (bytes < 1024)
        return FormatGrouped(static_cast<long long>(bytes)) + L" bytes";

    static const wchar_t* const units[] = {L"KB", L"MB", L"GB", L"TB", L"PB", L"EB"};
    double value = bytes / 1024;
    size_t unit = 0;
    while (value >= 1024 && unit + 1 < ARRAYSIZE(units)) {
        value /= 1024;
        ++unit;
    }
    int decimals = value < 10 ? 2 : value < 100 ? 1 : 0;
    double scale = std::pow(10.0, decimals);
    double shown = std::floor(value * scale) / scale;

    wchar_t buffer[64] = {};
    std::swprintf(buffer, ARRAYSIZE(buffer), L"%.*f", decimals, shown);
    std::wstring text = buffer;
    size_t dot = text.find(L'.');
    if (dot != std::wstring::npos)
        text.replace(dot, 1, LocaleText(LOCALE_SDECIMAL, L"."));
    return text + L" " + units[unit];
}

HICON LoadProgramIcon(BSTR name, int width, int height, UINT flags)
{
    if (!name || !*name) {
        // No name: the system's application icon, a copy of the caller's own.
        HICON icon = static_cast<HICON>(
            ::CopyImage(::LoadIconW(nullptr, IDI_APPLICATION), IMAGE_ICON, width, height, 0));
        if (!icon)
            FailLastError();
        return icon;
    }
    HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_ICON, width, height, flags));
    if (!icon)
        FailLastError();
    return icon;
}

// Hands the icon to a new picture object, which then owns it.
IPictureDisp* PictureFromIcon(tovrin::Icon icon)
{
    PICTDESC description = {};
    description.cbSizeofstruct = sizeof(description);
    description.picType = PICTYPE_ICON;
    description.icon.hicon = icon.get();
    IPictureDisp* picture = nullptr;
    HRESULT hr = ::OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(&picture));
    if (FAILED(hr))
        Fail(hr);
    icon.release();
    return picture;
}

// Byte strings carry one byte per character through the ANSI code page.
std::string BytesOfByteString(BSTR text)
{
    return ToCodePage(CP_ACP, text, text ? ::SysStringLen(text) : 0);
}

std::wstring ByteStringOf(const std::string& bytes)
{
    return FromCodePage(CP_ACP, bytes);
}

std::vector<wchar_t> ProfileKeyNames(BSTR section, BSTR fileName)
{
    std::vector<wchar_t> names(1024);
    for (;;) {
        DWORD n = ::GetPrivateProfileStringW(section, nullptr, L"", names.data(), static_cast<DWORD>(names.size()),
                                             fileName);
        if (n + 2 < names.size()) {
            names.resize(n + 1);
            return names;
        }
        names.resize(names.size() * 2);
    }
}

} // namespace

TOVRINSUPPORT_API asFormatLong(LONG value, BSTR* result)
{
    return ExportString(result, [&] { return FormatGrouped(value); });
}

TOVRINSUPPORT_API asFormatByteSizeEx(double bytes, BSTR* result)
{
    return ExportString(result, [&] { return FormatByteSize(bytes); });
}

TOVRINSUPPORT_API asSetWindowResIconAll(HWND window, BSTR iconName)
{
    return Guard([&] {
        Require(::IsWindow(window) != FALSE);
        Require(iconName && *iconName); // the window keeps shared icons, which only a named resource gives
        HICON large = LoadProgramIcon(iconName, ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                      LR_SHARED);
        HICON small = LoadProgramIcon(iconName, ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                      LR_SHARED);
        ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
        ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    });
}

TOVRINSUPPORT_API asLoadResIcon(BSTR iconName, IPictureDisp** result)
{
    return Export(result, [&] {
        return PictureFromIcon(tovrin::Icon(
            LoadProgramIcon(iconName, ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0)));
    });
}

TOVRINSUPPORT_API asLoadResIconSmall(BSTR iconName, IPictureDisp** result)
{
    return Export(result, [&] {
        return PictureFromIcon(tovrin::Icon(
            LoadProgramIcon(iconName, ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0)));
    });
}

TOVRINSUPPORT_API asGetIconFromHandle(HICON icon, IPictureDisp** result)
{
    return Export(result, [&] {
        Require(icon != nullptr);
        tovrin::Icon copy(::CopyIcon(icon));
        if (!copy)
            FailLastError();
        return PictureFromIcon(std::move(copy));
    });
}

TOVRINSUPPORT_API asAnsiToOem(BSTR text, BSTR* result)
{
    return ExportString(result, [&] { return ByteStringOf(ToCodePage(CP_OEMCP, Text(text))); });
}

TOVRINSUPPORT_API asOemToAnsi(BSTR text, BSTR* result)
{
    return ExportString(result, [&] { return FromCodePage(CP_OEMCP, BytesOfByteString(text)); });
}

TOVRINSUPPORT_API asUNICODEToUTF8(BSTR text, BSTR* result)
{
    return ExportString(result, [&] { return ByteStringOf(ToCodePage(CP_UTF8, Text(text))); });
}

TOVRINSUPPORT_API asUTF8ToUNICODE(BSTR text, BSTR* result)
{
    return ExportString(result, [&] { return FromCodePage(CP_UTF8, BytesOfByteString(text)); });
}

TOVRINSUPPORT_API asStrConvB(BSTR text, SAFEARRAY** result)
{
    return Export(result, [&] { return tovrin::MakeByteArray(BytesOfByteString(text)).release(); });
}

TOVRINSUPPORT_API asStrConvW(SAFEARRAY* bytes, BSTR* result)
{
    return ExportString(result, [&] { return ByteStringOf(tovrin::ReadByteArray(bytes)); });
}

TOVRINSUPPORT_API asCutLeft(BSTR text, LONG count, BSTR* result)
{
    return ExportString(result, [&] {
        Require(count >= 0);
        std::wstring s = Text(text);
        return static_cast<size_t>(count) >= s.size() ? std::wstring() : s.substr(static_cast<size_t>(count));
    });
}

TOVRINSUPPORT_API asTrimEx(BSTR text, BSTR* result)
{
    return ExportString(result, [&] {
        std::wstring s = Text(text);
        size_t first = 0;
        size_t last = 0;
        tovrin::TrimBounds(s.data(), s.size(), first, last);
        return s.substr(first, last - first);
    });
}

TOVRINSUPPORT_API asGetStringFromPointerA(LONG_PTR address, BSTR* result)
{
    return ExportString(result, [&] {
        const char* s = reinterpret_cast<const char*>(address);
        return s ? FromCodePage(CP_ACP, s, std::strlen(s)) : std::wstring();
    });
}

TOVRINSUPPORT_API asGetStringFromPointerW(LONG_PTR address, BSTR* result)
{
    return ExportString(result, [&] {
        const wchar_t* s = reinterpret_cast<const wchar_t*>(address);
        return s ? std::wstring(s) : std::wstring();
    });
}

TOVRINSUPPORT_API asLargeIntegerToDouble(const LARGE_INTEGER* value, double* result)
{
    return Export(result, [&] {
        Require(value != nullptr, E_POINTER);
        return static_cast<double>(value->QuadPart);
    });
}

TOVRINSUPPORT_API asShortToUnsignedShort(SHORT value, LONG* result)
{
    return Export(result, [&] { return static_cast<LONG>(static_cast<USHORT>(value)); });
}

TOVRINSUPPORT_API asIsINIKeyExist2(BSTR section, BSTR key, BSTR fileName, LONG reserved1, LONG reserved2,
                                   VARIANT_BOOL* result)
{
    return Export(result, [&] {
        Require(reserved1 == 0 && reserved2 == 0);
        Require(section && *section && key && *key && fileName && *fileName);
        std::vector<wchar_t> names = ProfileKeyNames(section, fileName);
        int keyLength = static_cast<int>(::SysStringLen(key));
        for (const wchar_t* name = names.data(); *name; name += std::wcslen(name) + 1) {
            if (::CompareStringOrdinal(name, -1, key, keyLength, TRUE) == CSTR_EQUAL)
                return VARIANT_TRUE;
        }
        return VARIANT_FALSE;
    });
}

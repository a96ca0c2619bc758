#include "modFormatVersion.h"

#include <cstdio>

namespace veskar {

namespace {

// The notice in the version record: maker, a blank, the year or years, a full
// stop, a blank and the dedication. The maker's name with its blank is 11
// characters, so the years start at the 12th.
const wchar_t* const CyrillicMaker = L"ТовринСофт";
const wchar_t* const CyrillicDedication = L"Посвящается всем, кто читает файлы побайтно.";
const wchar_t* const LatinMaker = L"TovrinSoft";
const wchar_t* const LatinDedication = L". Dedicated to everyone who reads files byte by byte.";
const size_t YearStart = 11;

const wchar_t* const OneYear = L"[0-9][0-9][0-9][0-9]";
const wchar_t* const YearRange = L"[0-9][0-9][0-9][0-9]-[0-9][0-9][0-9][0-9]";

std::wstring NoticePattern(const std::wstring& years)
{
    return std::wstring(CyrillicMaker) + L" " + years + L". " + CyrillicDedication;
}

wchar_t Upper(wchar_t c)
{
    ::CharUpperBuffW(&c, 1);
    return c;
}

} // namespace

std::wstring GetVersionText(const tovrin::AppIdentity& app)
{
    wchar_t text[40] = {};
    std::swprintf(text, 40, L"%d.%02d.%04d", app.Major, app.Minor, app.Revision);
    return text;
}

std::wstring GetVersionSeparator(bool withVer)
{
    return withVer ? L", ver. " : L" ";
}

bool Like(const std::wstring& text, const std::wstring& pattern)
{
    size_t t = 0;
    for (size_t p = 0; p < pattern.size(); ++p, ++t) {
        if (t >= text.size())
            return false;
        wchar_t c = Upper(text[t]);
        size_t close = pattern[p] == L'[' ? pattern.find(L']', p) : std::wstring::npos;
        if (close != std::wstring::npos && close == p + 4 && pattern[p + 2] == L'-') {
            if (c < Upper(pattern[p + 1]) || c > Upper(pattern[p + 3]))
                return false;
            p = close;
        } else if (c != Upper(pattern[p])) {
            return false;
        }
    }
    return t == text.size();
}

std::wstring GetDisplayNotice(const std::wstring& text, bool rewrite)
{
    if (!rewrite)
        return text;
    if (Like(text, NoticePattern(OneYear)))
        return std::wstring(LatinMaker) + L" " + text.substr(YearStart, 4) + LatinDedication;
    if (Like(text, NoticePattern(YearRange)))
        return std::wstring(LatinMaker) + L" " + text.substr(YearStart, 9) + LatinDedication;
    return text;
}

std::wstring GetAboutHeader(const tovrin::AppIdentity& app, bool withVer, bool rewrite)
{
    return app.Title + GetVersionSeparator(withVer) + GetVersionText(app) + L"\r\n" +
           GetDisplayNotice(app.LegalCopyright, rewrite);
}

} // namespace veskar

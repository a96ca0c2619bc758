#include "content/modStandardListFileSupport.h"

#include "com/Collection.h"
#include "files/FileReader.h"
#include "classes/tovFSO.h"

#include <tovrin/CodePage.h>
#include <tovrin/ErrorNumbers.h>
#include <tovrin/Trim.h>
#include <tovrin/Variant.h>

#include <climits>

namespace tovrin {

void AddListItem(::Collection* collection, long& count, const wchar_t* text, size_t length)
{
    Variant item;
    V_VT(item.get()) = VT_BSTR;
    V_BSTR(item.get()) = ::SysAllocStringLen(text, static_cast<UINT>(length));
    Variant key;
    V_VT(key.get()) = VT_BSTR;
    V_BSTR(key.get()) = ::SysAllocString(std::to_wstring(count + 1).c_str());
    if (!V_BSTR(item.get()) || !V_BSTR(key.get()))
        throw std::bad_alloc();
    Variant missing;
    V_VT(missing.get()) = VT_ERROR;
    V_ERROR(missing.get()) = DISP_E_PARAMNOTFOUND;
    Check(collection->Add(item.get(), key.get(), missing.get(), missing.get()));
    ++count;
}

ComPtr<::Collection> LoadStandardListFile(const std::wstring& fileName, bool isOem, const std::wstring& commentChar,
                                          bool ignoreBlanks, bool trimStrings)
{
    ComPtr<::Collection> collection = NewCollection();
    std::string bytes = ReadWholeFile(fileName, FILE_SHARE_READ); // others may read, not write
    std::wstring text = FromCodePage(CP_ACP, bytes);
    bytes = std::string();

    long count = 0;
    size_t position = 0;
    while (position < text.size()) {
        size_t end = text.find(L'\r', position);
        if (end == std::wstring::npos)
            end = text.size();
        const wchar_t* line = text.data() + position;
        size_t length = end - position;
        position = end + 1;
        if (position < text.size() && text[end] == L'\r' && text[position] == L'\n')
            ++position;

        size_t first = 0, last = 0;
        TrimBounds(line, length, first, last);
        const wchar_t* trimmed = line + first;
        size_t trimmedLength = last - first;
        if (trimmedLength == 0 && ignoreBlanks)
            continue;
        if (!commentChar.empty() && trimmedLength >= commentChar.size() &&
            std::wstring::traits_type::compare(trimmed, commentChar.data(), commentChar.size()) == 0)
            continue;
        if (trimStrings) {
            line = trimmed;
            length = trimmedLength;
        }
        if (isOem) {
            // The line's characters stand for bytes of the OEM code page.
            std::wstring converted = FromCodePage(CP_OEMCP, ToCodePage(CP_ACP, line, length));
            AddListItem(collection.get(), count, converted.data(), converted.size());
        } else {
            AddListItem(collection.get(), count, line, length);
        }
    }
    return collection;
}

} // namespace tovrin

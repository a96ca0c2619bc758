#include "classes/Collection.h"

#include "com/AutomationError.h"
#include "com/Enumerator.h"
#include <tovrin/Variant.h>

#include <tovrin/ErrorNumbers.h>
#include <tovrin/Unique.h>

#include <algorithm>

namespace tovrin {

namespace {

// The platform's collection class, part of the Visual Basic runtime.
const CLSID CLSID_PlatformCollection = {0xA4C4671C, 0x499F, 0x101B, {0xBB, 0x78, 0x00, 0xAA, 0x00, 0x38, 0x3C, 0xBB}};

const long ErrKeyTaken = 457;

std::wstring Fold(const std::wstring& key)
{
    std::wstring folded = key;
    if (!folded.empty())
        ::CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

const VARIANT* Dereferenced(const VARIANT* value)
{
    while (value && V_VT(value) == (VT_BYREF | VT_VARIANT))
        value = V_VARIANTREF(value);
    return value;
}

bool IsMissing(const VARIANT* value)
{
    value = Dereferenced(value);
    return !value || (V_VT(value) == VT_ERROR && V_ERROR(value) == DISP_E_PARAMNOTFOUND);
}

bool IsText(const VARIANT* value)
{
    return (V_VT(value) & ~VT_BYREF) == VT_BSTR;
}

std::wstring TextOf(const VARIANT* value)
{
    Variant text;
    HRESULT hr = ::VariantChangeType(text.get(), const_cast<VARIANT*>(value), 0, VT_BSTR);
    if (FAILED(hr))
        throw AutomationError(ErrTypeMismatch);
    return Bstr::ToString(V_BSTR(text.get()));
}

} // namespace

OwnCollection::~OwnCollection()
{
    for (Entry& entry : m_entries)
        ::VariantClear(&entry.Value);
}

size_t OwnCollection::PositionOf(const VARIANT* index) const
{
    index = Dereferenced(index);
    if (!index)
        throw AutomationError(ErrInvalidCall);
    if (IsText(index)) {
        auto found = m_keys.find(Fold(TextOf(index)));
        if (found == m_keys.end())
            throw AutomationError(ErrInvalidCall);
        for (size_t i = 0; i < m_order.size(); ++i)
            if (m_order[i] == found->second)
                return i;
        throw AutomationError(ErrInvalidCall);
    }
    Variant number;
    if (FAILED(::VariantChangeType(number.get(), const_cast<VARIANT*>(index), 0, VT_I4)))
        throw AutomationError(ErrTypeMismatch);
    long position = V_I4(number.get());
    if (position < 1 || static_cast<size_t>(position) > m_order.size())
        throw AutomationError(ErrSubscriptOutOfRange);
    return static_cast<size_t>(position - 1);
}

HRESULT STDMETHODCALLTYPE OwnCollection::Item(VARIANT* index, VARIANT* result)
{
    return Member(result, [&] {
        Variant item;
        Check(::VariantCopy(item.get(), &m_order[PositionOf(index)]->Value));
        return item;
    });
}

HRESULT STDMETHODCALLTYPE OwnCollection::Add(VARIANT* item, VARIANT* key, VARIANT* before, VARIANT* after)
{
    return Member([&] {
        const VARIANT* value = Dereferenced(item);
        if (!value)
            throw AutomationError(ErrInvalidCall);
        if (!IsMissing(before) && !IsMissing(after))
            throw AutomationError(ErrInvalidCall);

        std::wstring folded;
        bool keyed = !IsMissing(key);
        if (keyed) {
            const VARIANT* keyValue = Dereferenced(key);
            if (!IsText(keyValue))
                throw AutomationError(ErrTypeMismatch);
            folded = Fold(TextOf(keyValue));
            if (m_keys.count(folded))
                throw AutomationError(ErrKeyTaken, L"This key is already associated with an element of this collection");
        }
        size_t insertAt = m_order.size();
        if (!IsMissing(before))
            insertAt = PositionOf(before);
        else if (!IsMissing(after))
            insertAt = PositionOf(after) + 1;

        Entry entry;
        ::VariantInit(&entry.Value);
        Check(::VariantCopyInd(&entry.Value, const_cast<VARIANT*>(value)));
        entry.Key = folded;
        m_entries.push_back(entry);
        Entry* stored = &m_entries.back();
        try {
            m_order.insert(m_order.begin() + static_cast<std::ptrdiff_t>(insertAt), stored);
            if (keyed)
                m_keys.emplace(folded, stored);
        } catch (...) {
            m_order.erase(std::remove(m_order.begin(), m_order.end(), stored), m_order.end());
            ::VariantClear(&stored->Value);
            m_entries.pop_back();
            throw;
        }
    });
}

HRESULT STDMETHODCALLTYPE OwnCollection::Count(long* count)
{
    return Member(count, [&] { return static_cast<long>(m_order.size()); });
}

HRESULT STDMETHODCALLTYPE OwnCollection::Remove(VARIANT* index)
{
    return Member([&] {
        size_t position = PositionOf(index);
        Entry* entry = m_order[position];
        m_order.erase(m_order.begin() + static_cast<std::ptrdiff_t>(position));
        if (!entry->Key.empty())
            m_keys.erase(entry->Key);
        ::VariantClear(&entry->Value);
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (&*it == entry) {
                m_entries.erase(it);
                break;
            }
        }
    });
}

HRESULT STDMETHODCALLTYPE OwnCollection::_NewEnum(IUnknown** enumerator)
{
    return Member(enumerator, [&] {
        std::vector<Variant> items(m_order.size());
        for (size_t i = 0; i < items.size(); ++i)
            Check(::VariantCopy(items[i].get(), &m_order[i]->Value));
        return NewEnumerator(std::move(items));
    });
}

ComPtr<::Collection> NewCollection()
{
    ComPtr<::Collection> collection;
    if (SUCCEEDED(::CoCreateInstance(CLSID_PlatformCollection, nullptr, CLSCTX_INPROC_SERVER, IID_Collection,
                                     collection.put_void())))
        return collection;
    return ComPtr<::Collection>::Attach(OwnCollection::Create().release());
}

void AddString(::Collection* collection, const std::wstring& item, const std::wstring& key)
{
    Variant value;
    V_VT(value.get()) = VT_BSTR;
    V_BSTR(value.get()) = Bstr::From(item).release();
    Variant keyValue;
    V_VT(keyValue.get()) = VT_BSTR;
    V_BSTR(keyValue.get()) = Bstr::From(key).release();
    Variant missing;
    V_VT(missing.get()) = VT_ERROR;
    V_ERROR(missing.get()) = DISP_E_PARAMNOTFOUND;
    Check(collection->Add(value.get(), keyValue.get(), missing.get(), missing.get()));
}

} // namespace tovrin

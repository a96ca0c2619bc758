#include "Collection.h"

#include "com/AutomationError.h"
#include <tovrin/Variant.h>

#include <tovrin/ErrorNumbers.h>
#include <tovrin/Unique.h>

#include <algorithm>
#include <atomic>
#include <new>

namespace tovrin {

namespace {

const wchar_t* const Source = L"Collection";

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
        throw AutomationError(ErrTypeMismatch, Source);
    return Bstr::ToString(V_BSTR(text.get()));
}

class Enumerator final : public IEnumVARIANT {
public:
    Enumerator(std::vector<VARIANT> items) : m_items(std::move(items)) { module::ObjectCreated(); }
    ~Enumerator()
    {
        for (VARIANT& v : m_items)
            ::VariantClear(&v);
        module::ObjectDestroyed();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IEnumVARIANT)
            return E_NOINTERFACE;
        *object = static_cast<IEnumVARIANT*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        long left = --m_references;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override
    {
        if (!items)
            return E_POINTER;
        ULONG n = 0;
        for (; n < count && m_next < m_items.size(); ++n, ++m_next) {
            ::VariantInit(&items[n]);
            ::VariantCopy(&items[n], &m_items[m_next]);
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        size_t left = m_items.size() - m_next;
        m_next += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override
    {
        if (!copy)
            return E_POINTER;
        std::vector<VARIANT> items(m_items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            ::VariantInit(&items[i]);
            ::VariantCopy(&items[i], &m_items[i]);
        }
        auto clone = new (std::nothrow) Enumerator(std::move(items));
        if (!clone)
            return E_OUTOFMEMORY;
        clone->m_next = m_next;
        *copy = clone;
        return S_OK;
    }

private:
    std::vector<VARIANT> m_items; // a snapshot taken when the enumeration began
    size_t m_next = 0;
    std::atomic<long> m_references{1};
};

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
        throw AutomationError(ErrInvalidCall, Source);
    if (IsText(index)) {
        auto found = m_keys.find(Fold(TextOf(index)));
        if (found == m_keys.end())
            throw AutomationError(ErrInvalidCall, Source);
        for (size_t i = 0; i < m_order.size(); ++i)
            if (m_order[i] == found->second)
                return i;
        throw AutomationError(ErrInvalidCall, Source);
    }
    Variant number;
    if (FAILED(::VariantChangeType(number.get(), const_cast<VARIANT*>(index), 0, VT_I4)))
        throw AutomationError(ErrTypeMismatch, Source);
    long position = V_I4(number.get());
    if (position < 1 || static_cast<size_t>(position) > m_order.size())
        throw AutomationError(ErrSubscriptOutOfRange, Source);
    return static_cast<size_t>(position - 1);
}

HRESULT STDMETHODCALLTYPE OwnCollection::Item(VARIANT* index, VARIANT* result)
{
    if (!result)
        return E_POINTER;
    ::VariantInit(result);
    return Firewall(IID_Collection, Source, [&] {
        size_t position = PositionOf(index);
        Check(::VariantCopy(result, &m_order[position]->Value), Source);
    });
}

HRESULT STDMETHODCALLTYPE OwnCollection::Add(VARIANT* item, VARIANT* key, VARIANT* before, VARIANT* after)
{
    return Firewall(IID_Collection, Source, [&] {
        const VARIANT* value = Dereferenced(item);
        if (!value)
            throw AutomationError(ErrInvalidCall, Source);
        if (!IsMissing(before) && !IsMissing(after))
            throw AutomationError(ErrInvalidCall, Source);

        std::wstring folded;
        bool keyed = !IsMissing(key);
        if (keyed) {
            const VARIANT* keyValue = Dereferenced(key);
            if (!IsText(keyValue))
                throw AutomationError(ErrTypeMismatch, Source);
            folded = Fold(TextOf(keyValue));
            if (m_keys.count(folded))
                throw AutomationError(ErrKeyTaken, Source,
                                      L"This key is already associated with an element of this collection");
        }
        size_t insertAt = m_order.size();
        if (!IsMissing(before))
            insertAt = PositionOf(before);
        else if (!IsMissing(after))
            insertAt = PositionOf(after) + 1;

        Entry entry;
        ::VariantInit(&entry.Value);
        Check(::VariantCopyInd(&entry.Value, const_cast<VARIANT*>(value)), Source);
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
    if (!count)
        return E_POINTER;
    *count = static_cast<long>(m_order.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OwnCollection::Remove(VARIANT* index)
{
    return Firewall(IID_Collection, Source, [&] {
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
    if (!enumerator)
        return E_POINTER;
    *enumerator = nullptr;
    return Firewall(IID_Collection, Source, [&] {
        std::vector<VARIANT> items(m_order.size());
        for (VARIANT& v : items)
            ::VariantInit(&v);
        for (size_t i = 0; i < items.size(); ++i)
            ::VariantCopy(&items[i], &m_order[i]->Value);
        *enumerator = new Enumerator(std::move(items));
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
    Check(collection->Add(value.get(), keyValue.get(), missing.get(), missing.get()), L"tovFSO");
}

} // namespace tovrin

#include "Enumerator.h"

#include "AutomationError.h"
#include "Unknown.h"

#include <memory>
#include <new>

namespace tovrin {

namespace {

// The items as they were when the enumeration began.
class Snapshot final : public EnumerationSource {
public:
    explicit Snapshot(std::vector<Variant> items) : m_items(std::move(items)) {}
    size_t Count() const override { return m_items.size(); }
    Variant At(size_t position) const override
    {
        Variant copy;
        Check(::VariantCopy(copy.put(), const_cast<VARIANT*>(m_items[position].get())));
        return copy;
    }

private:
    std::vector<Variant> m_items;
};

class Enumerator final : public Unknown<IEnumVARIANT> {
public:
    Enumerator(std::shared_ptr<const EnumerationSource> items, size_t next)
        : Unknown(IID_IEnumVARIANT), m_items(std::move(items)), m_next(next)
    {
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override
    {
        if (!items)
            return E_POINTER;
        ULONG n = 0;
        HRESULT hr = Firewall(IID_IEnumVARIANT, L"", [&] {
            for (; n < count && m_next < m_items->Count(); ++n, ++m_next) {
                ::VariantInit(&items[n]);
                m_items->At(m_next).detach(&items[n]);
            }
        });
        if (FAILED(hr)) {
            while (n > 0)
                ::VariantClear(&items[--n]);
            return hr;
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        size_t left = m_items->Count() - m_next;
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
        *copy = new (std::nothrow) Enumerator(m_items, m_next);
        return *copy ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::shared_ptr<const EnumerationSource> m_items;
    size_t m_next;
};

} // namespace

ComPtr<IEnumVARIANT> NewEnumerator(std::vector<Variant> items)
{
    return NewEnumerator(std::make_shared<const Snapshot>(std::move(items)));
}

ComPtr<IEnumVARIANT> NewEnumerator(std::shared_ptr<const EnumerationSource> source)
{
    return ComPtr<IEnumVARIANT>::Attach(new Enumerator(std::move(source), 0));
}

} // namespace tovrin

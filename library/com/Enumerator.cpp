#include "Enumerator.h"

#include "Unknown.h"

#include <memory>
#include <new>

namespace tovrin {

namespace {

using Snapshot = std::shared_ptr<const std::vector<Variant>>;

class Enumerator final : public Unknown<IEnumVARIANT> {
public:
    Enumerator(Snapshot items, size_t next) : Unknown(IID_IEnumVARIANT), m_items(std::move(items)), m_next(next) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override
    {
        if (!items)
            return E_POINTER;
        ULONG n = 0;
        for (; n < count && m_next < m_items->size(); ++n, ++m_next) {
            ::VariantInit(&items[n]);
            HRESULT hr = ::VariantCopy(&items[n], const_cast<VARIANT*>((*m_items)[m_next].get()));
            if (FAILED(hr)) {
                while (n > 0)
                    ::VariantClear(&items[--n]);
                return hr;
            }
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        size_t left = m_items->size() - m_next;
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
    Snapshot m_items;
    size_t m_next;
};

} // namespace

ComPtr<IEnumVARIANT> NewEnumerator(std::vector<Variant> items)
{
    auto snapshot = std::make_shared<const std::vector<Variant>>(std::move(items));
    return ComPtr<IEnumVARIANT>::Attach(new Enumerator(std::move(snapshot), 0));
}

} // namespace tovrin

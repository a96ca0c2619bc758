// A zero-based list of the objects a class hands out (a file's streams, the
// records of a search): filled by its owner, read by clients through Item,
// Count and an enumerator for For Each.
#pragma once

#include "AutomationError.h"
#include "Enumerator.h"

#include <tovrin/ErrorNumbers.h>

#include <vector>

namespace tovrin {

template <typename Item> class ItemList {
public:
    void Add(ComPtr<Item> item) { m_items.push_back(std::move(item)); }
    const std::vector<ComPtr<Item>>& Items() const { return m_items; }
    void Clear() { m_items.clear(); }
    long Count() const { return static_cast<long>(m_items.size()); }

    // The item at a zero-based position; error 9 outside 0 to Count - 1.
    ComPtr<Item> At(long index) const
    {
        if (index < 0 || index >= Count())
            throw AutomationError(ErrSubscriptOutOfRange);
        return m_items[static_cast<size_t>(index)];
    }

    // An enumerator over the items as they are now.
    ComPtr<IUnknown> NewEnum() const
    {
        std::vector<Variant> snapshot(m_items.size());
        for (size_t i = 0; i < m_items.size(); ++i) {
            V_VT(snapshot[i].get()) = VT_DISPATCH;
            V_DISPATCH(snapshot[i].get()) = ComPtr<Item>(m_items[i]).release();
        }
        return NewEnumerator(std::move(snapshot)).template query<IUnknown>(IID_IUnknown);
    }

private:
    std::vector<ComPtr<Item>> m_items;
};

} // namespace tovrin

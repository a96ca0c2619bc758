// The enumerator behind For Each over the library's lists: it walks a
// snapshot of the items taken when the enumeration began, and the snapshot
// keeps them alive however the list changes afterwards. Clones share it.
// A list that makes its items when asked (a search's records) hands over
// a source that makes each as the enumerator reaches it.
#pragma once

#include <tovrin/ComPtr.h>
#include <tovrin/Variant.h>

#include <oaidl.h>

#include <memory>
#include <vector>

namespace tovrin {


ComPtr<IEnumVARIANT> NewEnumerator(std::vector<Variant> items);

class EnumerationSource {
public:
    virtual ~EnumerationSource() = default;
    virtual size_t Count() const = 0;
    // The item at a zero-based position below Count.
    virtual Variant At(size_t position) const = 0;
};

ComPtr<IEnumVARIANT> NewEnumerator(std::shared_ptr<const EnumerationSource> source);

} // namespace tovrin

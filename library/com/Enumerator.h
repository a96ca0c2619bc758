// The enumerator behind For Each over the library's lists: it walks a
// snapshot of the items taken when the enumeration began, and the snapshot
// keeps them alive however the list changes afterwards. Clones share it.
#pragma once

#include <tovrin/ComPtr.h>
#include <tovrin/Variant.h>

#include <oaidl.h>

#include <vector>

namespace tovrin {

ComPtr<IEnumVARIANT> NewEnumerator(std::vector<Variant> items);

} // namespace tovrin

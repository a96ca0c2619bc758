// Deletion of a file or folder through the shell, to the recycle bin or for
// good.
#pragma once

#include <string>

namespace tovrin {

// Deletes the item of a checked, full name (the shell would delete a
// relative one for good). An item asked to go to the recycle bin goes there
// or stays where it is, and the call fails. A junction goes alone, for good,
// never what it points to. Raises error 53 for a missing item, 52 for a name
// the shell cannot take, 75 where the item stays, the mapped error of the
// shell otherwise.
void RecycleItem(const std::wstring& name, bool skipRecycleBin);

} // namespace tovrin

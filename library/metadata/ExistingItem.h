// An existing file or folder opened for what one metadata call needs and
// nothing more, sharing everything, so that a read-only file and a file
// other programs hold open refuse only what they must (no other open can
// deny access to the attributes alone), and with backup semantics, so that
// folders open too.
#pragma once

#include <tovrin/Unique.h>

#include <string>

namespace tovrin {

// Empty where the open fails, the thread's last error telling why.
Handle OpenExistingItem(const std::wstring& name, DWORD access);

} // namespace tovrin

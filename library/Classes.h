// The creatable classes of Ormelin0105 and the server they make up: the one
// table behind the class factories, self-registration and the installer.
#pragma once

#include "com/Registration.h"

#include <vector>

namespace tovrin {

const std::vector<ClassEntry>& Classes();
const ServerDescription& Server();

} // namespace tovrin

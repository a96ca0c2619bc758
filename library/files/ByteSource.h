// Where streamed reading takes a file's bytes from: the file reader, or a
// test's buffer. A source that fails raises the mapped error of the read,
// which follows the reading member's RaiseErrors like any failed read.
#pragma once

#include <cstddef>

namespace tovrin {

class IByteSource {
public:
    virtual ~IByteSource() = default;
    // Up to size bytes from the current position; 0 at the end.
    virtual size_t Read(char* buffer, size_t size) = 0;
    // Back to the given position.
    virtual void Seek(size_t position) = 0;
};

} // namespace tovrin

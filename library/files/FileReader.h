// A file opened for reading as the library's readers open it (read access,
// no lock of its own unless asked), read piece by piece or whole. Every
// open and read goes through the file-system seam.
#pragma once

#include "files/ByteSource.h"

#include <tovrin/Unique.h>

#include <string>

namespace tovrin {

class FileReader final : public IByteSource {
public:
    // Others may read and write the file while it is open.
    static constexpr DWORD ShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

    // Raises the mapped error of the open.
    // Takes a name that has passed CheckedFileName.
    explicit FileReader(const std::wstring& fileName, DWORD share = ShareReadWrite);
    FileReader(BSTR, DWORD = ShareReadWrite) = delete; // a caller's name passes CheckedFileName first

    // Raises error 6 for a file of 2 GiB or more, which no reader takes whole.
    size_t Length() const;
    size_t Read(char* buffer, size_t size) override;
    void Seek(size_t position) override;

    // The whole file into the buffer, which holds Length() bytes; error 62
    // when the file shrank while it was being read.
    void ReadAll(void* buffer);

private:
    Handle m_file;
    LONGLONG m_length = 0;
};

// The bytes of a whole file.
std::string ReadWholeFile(const std::wstring& fileName, DWORD share = FileReader::ShareReadWrite);
std::string ReadWholeFile(BSTR, DWORD = FileReader::ShareReadWrite) = delete;

} // namespace tovrin

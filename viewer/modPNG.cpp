#include "modPNG.h"

#include "Support.h"
#include "VeskarObjects.h"

#include <climits>
#include <cstring>

namespace veskar {

const unsigned char PngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

namespace {

const wchar_t* const SignatureMessage = L"Can't parse file: invalid PNG signature.";
const wchar_t* const ParseMessage = L"Error occured during PNG file parsing.";

class FileChunkSource final : public IChunkSource {
public:
    explicit FileChunkSource(const std::wstring& fileName)
        : m_file(::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
    {
        if (!m_file)
            RaiseLastError();
    }

    int64_t Length() override
    {
        LARGE_INTEGER size = {};
        if (!::GetFileSizeEx(m_file.get(), &size))
            RaiseLastError();
        return size.QuadPart;
    }

    uint32_t Read(void* buffer, uint32_t count) override
    {
        DWORD read = 0;
        if (!::ReadFile(m_file.get(), buffer, count, &read, nullptr))
            RaiseLastError();
        return read;
    }

    void Seek(int64_t position) override
    {
        LARGE_INTEGER to = {};
        to.QuadPart = position;
        if (!::SetFilePointerEx(m_file.get(), to, nullptr, FILE_BEGIN))
            RaiseLastError();
    }

private:
    tovrin::Handle m_file;
};

// A 4-byte field as it lies in the file; bytes past the end read as zero.
int32_t ReadField(IChunkSource& source)
{
    unsigned char bytes[4] = {};
    source.Read(bytes, sizeof(bytes));
    int32_t value = 0;
    std::memcpy(&value, bytes, sizeof(value));
    return value;
}

int32_t BigEndian(int32_t stored)
{
    return support::Value<LONG>(esSwapBytes4, static_cast<LONG>(stored));
}

} // namespace

bool IsPNGSignature(const unsigned char* bytes, size_t count)
{
    return bytes && count >= sizeof(PngSignature) && std::memcmp(bytes, PngSignature, sizeof(PngSignature)) == 0;
}

std::wstring ChunkTypeToString(int32_t value)
{
    std::wstring text;
    auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        char byte = static_cast<char>((bits >> (8 * i)) & 0xFF);
        wchar_t character = L'\0';
        if (::MultiByteToWideChar(CP_ACP, 0, &byte, 1, &character, 1) != 1)
            character = L'?';
        text += character;
    }
    return text;
}

void WalkChunks(IChunkSource& source, const std::function<void(CChunk&&)>& onChunk)
{
    const int64_t length = source.Length();
    if (length > INT32_MAX)
        Raise(tovrin::ErrOverflow, L"Overflow: the file is larger than 2,147,483,647 bytes");

    int64_t position = sizeof(PngSignature);
    while (position < length) {
        // A chunk's CRC field starts 8 bytes or more past its start, so a tail
        // shorter than a length and a type holds none, whatever its bytes
        // would read as.
        if (length - position < 8)
            Raise(tovrin::ErrInputPastEnd);
        CChunk chunk;
        chunk.Offset = static_cast<int32_t>(position);
        chunk.Size = BigEndian(ReadField(source));
        chunk.Name = ReadField(source);
        chunk.NameStr = ChunkTypeToString(chunk.Name);

        // A length with its top bit set would move the walk backwards.
        if (chunk.Size < 0)
            Raise(tovrin::ErrOverflow);
        int64_t crcField = position + 8 + chunk.Size;
        if (crcField > INT32_MAX)
            Raise(tovrin::ErrOverflow);
        if (crcField >= length)
            Raise(tovrin::ErrInputPastEnd);
        source.Seek(crcField);
        chunk.CRC32 = BigEndian(ReadField(source));

        position = crcField + 4;
        onChunk(std::move(chunk));
    }
}

void ParsePNGFile(const std::wstring& fileName, IChunkList& list, ChunkCollection& chunks)
{
    try {
        chunks.Clear();
        list.Clear();
        if (!support::Bool(support::Value<VARIANT_BOOL>(esIsFileExist, support::In(fileName).get())))
            Raise(tovrin::ErrFileNotFound);

        FileChunkSource file(fileName);
        unsigned char signature[8] = {};
        file.Read(signature, sizeof(signature));
        if (!IsPNGSignature(signature, sizeof(signature))) {
            Objects().ShowMessage(::GetActiveWindow(), fileName + L"\r\n\r\n" + SignatureMessage, std::wstring(),
                                  MB_ICONERROR | MB_OK);
        } else {
            WalkChunks(file, [&](CChunk&& chunk) {
                std::wstring key = std::to_wstring(chunks.Count());
                list.AddRow(chunk.NameStr, support::String(esHexEx4, static_cast<LONG>(chunk.Offset)),
                            support::String(asFormatByteSizeEx, static_cast<double>(chunk.Size)),
                            support::String(esHexEx4, static_cast<LONG>(chunk.CRC32)), key);
                chunks.Add(key, std::move(chunk));
            });
        }
    } catch (...) {
        Objects().ErrorReporter().ShowError(CurrentError(std::current_exception()), MB_ICONERROR, 0,
                                            fileName + L"\r\n\r\n" + ParseMessage);
    }
    if (list.RowCount() > 0)
        list.SelectFirstRow();
}

} // namespace veskar

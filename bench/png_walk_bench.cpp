// How fast the chunk walk goes and how much memory it takes: a PNG of 100,000
// small chunks, and one of about 1 GiB in a few large chunks whose data lies
// in holes of a sparse file (the walk never reads it). Prints chunks per
// second and the process's peak memory so far after each walk.
#include <modPNG.h>

#include <tovrin/Unique.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

class CountingList final : public veskar::IChunkList {
public:
    void Clear() override { m_rows = 0; }
    void AddRow(const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&,
                const std::wstring&) override
    {
        ++m_rows;
    }
    int RowCount() const override { return m_rows; }
    void SelectFirstRow() override {}

private:
    int m_rows = 0;
};

std::string BigEndian(uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

void WriteAt(HANDLE file, int64_t offset, const std::string& bytes)
{
    LARGE_INTEGER at = {};
    at.QuadPart = offset;
    ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Writes the framing of chunks of the given data sizes; data bytes are left
// to the file system (zeros, or holes when the file is sparse).
void MakePng(const std::wstring& path, int chunks, uint32_t dataSize)
{
    tovrin::Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::string buffer = "\x89PNG\r\n\x1a\n";
    int64_t offset = 0;
    for (int i = 0; i < chunks; ++i) {
        buffer += BigEndian(dataSize) + "IDAT";
        if (dataSize <= 64) {
            buffer += std::string(dataSize, 'd') + BigEndian(0x12345678u);
        } else {
            WriteAt(file.get(), offset, buffer);
            offset += static_cast<int64_t>(buffer.size()) + dataSize;
            buffer = BigEndian(0x12345678u);
        }
    }
    buffer += BigEndian(0) + "IEND" + BigEndian(0xAE426082u);
    WriteAt(file.get(), offset, buffer);
}

double PeakMiB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakPagefileUsage / 1048576.0;
}

void Measure(const wchar_t* label, const std::wstring& path)
{
    CountingList list;
    veskar::ChunkCollection chunks;
    auto start = std::chrono::steady_clock::now();
    veskar::ParsePNGFile(path, list, chunks);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::wprintf(L"%-34ls %8d chunks  %7.3f s  %10.0f chunks/s  peak %.1f MiB\n", label, list.RowCount(), seconds,
                 list.RowCount() / seconds, PeakMiB());
}

} // namespace

int wmain()
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring small = std::wstring(temp) + L"tovrin-bench-small.png";
    std::wstring large = std::wstring(temp) + L"tovrin-bench-large.png";
    MakePng(small, 100000, 16);
    MakePng(large, 4, 256u * 1024 * 1024);

    // The large file first, so that its figure is the peak of that walk alone.
    std::wprintf(L"peak before walking: %.1f MiB\n", PeakMiB());
    Measure(L"4 chunks of 256 MiB (about 1 GiB)", large);
    Measure(L"100,000 chunks of 16 bytes", small);
    ::DeleteFileW(small.c_str());
    ::DeleteFileW(large.c_str());
    return 0;
}

#include "modExport.h"

#include "Support.h"
#include "VeskarObjects.h"
#include "modMain.h"

#include "Ormelin0105.h"

#include <tovrin/ComPtr.h>
#include <tovrin/ErrorInfo.h>
#include <tovrin/SafeArrayBytes.h>

#include <climits>

namespace veskar {

namespace {

const wchar_t* const ReadingMessage = L"Error occured during chunk data reading from PNG file.";
const wchar_t* const SavingMessage = L"Error occured during chunk data saving to BIN file.";
const wchar_t* const ChangedMessage =
    L"The PNG file has changed since it was listed: the chunk's length or type at its offset is no longer the "
    L"listed one. Nothing was saved.";

// Whether the length and type stored at the chunk's offset are still those
// the walk listed.
bool StillListed(HANDLE file, const CChunk& chunk)
{
    unsigned char framing[8] = {};
    DWORD read = 0;
    if (!::ReadFile(file, framing, sizeof(framing), &read, nullptr))
        RaiseLastError();
    if (read != sizeof(framing))
        return false;
    const uint32_t length = (uint32_t(framing[0]) << 24) | (uint32_t(framing[1]) << 16) |
                            (uint32_t(framing[2]) << 8) | framing[3];
    const uint32_t type = framing[4] | (uint32_t(framing[5]) << 8) | (uint32_t(framing[6]) << 16) |
                          (uint32_t(framing[7]) << 24);
    return length == static_cast<uint32_t>(chunk.Size) && type == static_cast<uint32_t>(chunk.Name);
}

// The one tovFSO object of the process, made on the first save.
tovrin::ComPtr<_tovFSO>& FsoHolder()
{
    static tovrin::ComPtr<_tovFSO> fso;
    return fso;
}

_tovFSO& Fso()
{
    tovrin::ComPtr<_tovFSO>& fso = FsoHolder();
    if (!fso) {
        HRESULT hr = ::CoCreateInstance(CLSID_tovFSO, nullptr, CLSCTX_INPROC_SERVER, IID__tovFSO, fso.put_void());
        if (FAILED(hr))
            throw RunTimeError(ErrorFromHResult(hr));
    }
    return *fso.get();
}

// The error a failed call of the library left behind, as its error info tells it.
tovrin::ErrorRecord LibraryError(HRESULT hr)
{
    tovrin::ErrorRecord error = ErrorFromHResult(hr);
    if (const std::optional<tovrin::ErrorInfoRecord> info = tovrin::TakeErrorInfo()) {
        if (!info->Source.empty())
            error.Source = info->Source;
        if (!info->Description.empty())
            error.Description = info->Description;
    }
    return error;
}

// A chunk type may hold any bytes; those a file name cannot hold become "_".
std::wstring FileNameSafe(const std::wstring& text)
{
    std::wstring safe = text;
    for (wchar_t& c : safe)
        if (c < 0x20 || std::wstring(L"<>:\"/\\|?*").find(c) != std::wstring::npos)
            c = L'_';
    return safe;
}

} // namespace

std::wstring SuggestedFileName(const CChunk& chunk, const std::wstring& pngFileName)
{
    std::wstring text = support::String(esHex4, static_cast<LONG>(chunk.Offset)) + L"." +
                        FileNameSafe(chunk.NameStr) + L".BIN";
    return support::String(esReplaceFileExtension, support::In(pngFileName).get(), support::In(text).get());
}

void SaveChunk(const CChunk& chunk)
{
    std::wstring suggested = SuggestedFileName(chunk, PNGFileName);
    std::wstring folder = support::String(esGetFilePath, support::In(PNGFileName).get());
    std::wstring target = AskSaveFileName(suggested, folder);
    if (target.empty())
        return;
    tovrin::SafeArray data;
    if (ReadChunkData(chunk, PNGFileName, data))
        WriteChunkData(target, data.get());
}

std::wstring AskSaveFileName(const std::wstring& suggestedName, const std::wstring& folder)
{
    auto dialog = Objects().NewSaveFileDialog();
    dialog->SetFilter(L"All files|*.*");
    dialog->SetOption(0);
    dialog->SetOwner(::GetActiveWindow());
    dialog->SetInitDir(folder);
    dialog->SetFileName(suggestedName);
    return dialog->Show() ? dialog->FileName() : std::wstring();
}

bool ReadChunkData(const CChunk& chunk, const std::wstring& fileName, tovrin::SafeArray& data)
{
    try {
        data.reset();
        if (static_cast<int64_t>(chunk.Offset) + 8 > INT32_MAX)
            Raise(tovrin::ErrOverflow);
        tovrin::Handle file(::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            RaiseLastError();
        LARGE_INTEGER position = {};
        position.QuadPart = chunk.Offset;
        if (!::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN))
            RaiseLastError();
        // The file may have changed since the walk: other bytes are never
        // saved as this chunk's.
        if (!StillListed(file.get(), chunk)) {
            Objects().ShowMessage(::GetActiveWindow(), fileName + L"\r\n\r\n" + ChangedMessage, std::wstring(),
                                  MB_ICONERROR | MB_OK);
            return false;
        }
        if (chunk.Size <= 0)
            return true;
        tovrin::SafeArray bytes = tovrin::MakeUnfilledByteArray(static_cast<size_t>(chunk.Size));
        DWORD read = 0;
        {
            tovrin::SafeArrayData access(bytes.get());
            if (!::ReadFile(file.get(), access.get(), static_cast<DWORD>(chunk.Size), &read, nullptr))
                RaiseLastError();
        }
        if (read != static_cast<DWORD>(chunk.Size))
            Raise(tovrin::ErrInputPastEnd); // the file was cut short since the walk
        data = std::move(bytes);
        return true;
    } catch (...) {
        Objects().ErrorReporter().ShowError(CurrentError(std::current_exception()), MB_ICONERROR, 0,
                                            fileName + L"\r\n\r\n" + ReadingMessage);
        return false;
    }
}

void WriteChunkData(const std::wstring& fileName, SAFEARRAY* data)
{
    try {
        VARIANT_BOOL written = VARIANT_FALSE;
        SAFEARRAY* passed = data;
        HRESULT hr = Fso().PutFileB(tovrin::Bstr::From(fileName).get(), &passed, VARIANT_TRUE, &written);
        if (FAILED(hr))
            throw RunTimeError(LibraryError(hr));
    } catch (...) {
        Objects().ErrorReporter().ShowError(CurrentError(std::current_exception()), MB_ICONERROR, 0,
                                            fileName + L"\r\n\r\n" + SavingMessage);
    }
}

void ReleaseExportObjects()
{
    FsoHolder().reset();
}

} // namespace veskar

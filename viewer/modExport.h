// Saves the data bytes of one chunk, without its length, type or CRC fields,
// to a file the user picks. Each step reports its own failures to the user.
#pragma once

#include "CChunk.h"

#include <tovrin/Unique.h>

#include <string>

namespace veskar {

void SaveChunk(const CChunk& chunk);

// The chosen full path, or "" when the user cancels.
std::wstring AskSaveFileName(const std::wstring& suggestedName, const std::wstring& folder);

// Reads the chunk's Size bytes from Offset + 8 of the file; false (after the
// reading error has been shown) when that fails. An empty chunk gives no array.
bool ReadChunkData(const CChunk& chunk, const std::wstring& fileName, tovrin::SafeArray& data);

// Writes the bytes through Ormelin0105's PutFileB; shows the saving error on failure.
void WriteChunkData(const std::wstring& fileName, SAFEARRAY* data);

// The file name suggested for a chunk: the PNG path with its extension
// replaced by the chunk's offset in hexadecimal, its type and ".BIN".
std::wstring SuggestedFileName(const CChunk& chunk, const std::wstring& pngFileName);

// Lets go of the library object kept for the life of the process; called
// before COM is shut down.
void ReleaseExportObjects();

} // namespace veskar

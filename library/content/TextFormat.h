// The text formats of tovFSO's text files: detection from the first bytes,
// and the rules that turn a file's bytes into text and text into bytes.
// Values are those of FileEncodingConst, FileBOMConst and InvertBytesConst.
// Decoding and encoding use the platform's code-page conversions on whole
// buffers, or on large pieces of a file, and write straight into the string
// or array handed out, so a file's text is never held twice.
#pragma once

#include "com/AutomationError.h"
#include "files/ByteSource.h"


#include <functional>
#include <string>

namespace tovrin::text {

enum : long { Auto = 0 };
enum Encoding : long { ANSI = 1, UTF8 = 2, UTF16 = 3 };
enum Mark : long { NoBOM = 1, BOM = 2 };
enum Order : long { DontInvertBytes = 1, InvertBytes = 2 };

struct Format {
    long Encoding = ANSI;
    long FileBOM = NoBOM;
    long InvertBytes = DontInvertBytes;
};

// True when each member lies in its range (0 to 3, 0 to 2, 0 to 2).
bool InRange(long encoding, long fileBOM, long invertBytes);
// Raises error 5 for a member out of its range, whatever RaiseErrors says;
// so do the decoding and encoding below for text they cannot take.
void CheckRange(long encoding, long fileBOM, long invertBytes);

// The format the first bytes show: byte-order marks only, no guessing from
// content. count is how many bytes at the start the caller vouches for.
Format DetectTextFormat(const char* bytes, size_t count);

// Each member of the requested format that is 0 takes the other's value.
Format Resolve(const Format& requested, const Format& fallback);

// What writing a new file makes of 0: ANSI, a mark, little-endian.
Format WritingDefaults(const Format& requested);

using tovrin::IByteSource;

// Where decoded text and encoded bytes go: the caller allocates exactly the
// size asked (a script's string or byte array, a std::wstring) and says
// where to write, so that a big text is never held twice. A byte buffer is
// not asked for when there are no bytes.
using TextBuffer = std::function<wchar_t*(size_t units)>;
using ByteBuffer = std::function<unsigned char*(size_t bytes)>;

// The text that the bytes of [start, start + count) of the source hold in
// the (resolved) format, written into the buffer. A mark is removed by
// position, without looking at it; an odd last byte of UTF-16 forms no
// character, and with swapped bytes raises error 9. The bytes are read
// piece by piece: a first pass counts the characters, a second writes them
// into a buffer of exactly that size, so memory holds the text and one
// piece of the file, never the whole file. Pieces never split a
// character's bytes. ANSI text is decoded through ansiCodePage.
void DecodeStream(IByteSource& source, size_t start, size_t count, const Format& format, const TextBuffer& buffer,
                  size_t pieceSize = 1 << 20, UINT ansiCodePage = CP_ACP);

// The bytes of the text in the (resolved) format, with a mark in front when
// withMark is true and the encoding has one, written into the buffer.
void Encode(const wchar_t* text, size_t length, const Format& format, bool withMark, const ByteBuffer& buffer);

} // namespace tovrin::text

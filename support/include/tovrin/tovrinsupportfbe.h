// tovrinsupportfbe0100.dll: the environment support library of the Tovrin
// product family: the running program, paths, files, bits and times. Bound
// like tovrinsupport0100.dll: an HRESULT result, the value through the last
// parameter (cleared first), automation strings in and out.
//
// Forms and rules:
//   esHex2, esHex4      upper-case digits, zero-padded to 4 or 8: "000D".
//   esHexEx4            "0x" and 8 upper-case digits: "0x0000000D".
//   esGetFileName       the text after the last "\" or "/" (or after "X:");
//                       with the flag true also without its extension.
//   esGetFilePath       the text before the last separator; a root keeps its
//                       separator ("C:\"), "file" has no folder ("").
//   esBuildFileName(2)  joins the non-empty parts with exactly one "\",
//                       whatever separators the parts end or start with.
//   esReplaceFileExtension
//                       the extension is the text after the last dot of the
//                       last component, unless that dot starts the component
//                       (".profile" has none). The new text is added after one
//                       dot (a leading dot in it is not doubled); an empty text
//                       removes the extension and its dot.
//   esGetFullFileName   resolves a relative path against the current folder;
//                       with the flag true, short (8.3) names of an existing
//                       path are expanded to long names.
//   esOpenReadMeFile    opens "<program base name>.ReadMe.txt" from the
//                       program's folder with the application registered for
//                       text files, or with Notepad where none is; fails when
//                       the read-me is missing.
//   esRegisterAppPath   writes the program's App Paths entry for the current
//                       user (default value: the program's path; "Path": its
//                       folder), so that Windows finds it by name.
//   esIsInIDE           native programs have no development environment: false.
//   esGetThunderMainHandle
//                       a hidden top-level window of the process, made on the
//                       first call on the calling thread: the application
//                       window that carries the program's icon.
//   esFixUserControlsContainerWindow
//                       lets the calling thread's top-level windows clip their
//                       child controls (WS_CLIPCHILDREN), so that they do not
//                       flicker when resized.
//   esCenterFormEx      centres on the work area of the monitor that holds
//                       most of the window; the number must be 0.
//   esSystemTimeToLocalSystemTime, esLocalSystemTimeToSystemTime
//                       use the time zone rule in force on that date, so a
//                       summer date gets the summer offset; the two records
//                       may be the same.
#pragma once

#include <windows.h>
#include <oleauto.h>

#ifdef TOVRINSUPPORTFBE_BUILD
#define TOVRINSUPPORTFBE_API extern "C" __declspec(dllexport) HRESULT __stdcall
#else
#define TOVRINSUPPORTFBE_API extern "C" __declspec(dllimport) HRESULT __stdcall
#endif

TOVRINSUPPORTFBE_API esRegisterAppPath();
TOVRINSUPPORTFBE_API esIsInIDE(VARIANT_BOOL* result);
TOVRINSUPPORTFBE_API esGetThunderMainHandle(HWND* result);
TOVRINSUPPORTFBE_API esFixUserControlsContainerWindow();
TOVRINSUPPORTFBE_API esCenterFormEx(HWND window, LONG reserved);
TOVRINSUPPORTFBE_API esOpenReadMeFile(LONG reserved);
TOVRINSUPPORTFBE_API esScreenTwipsPerPixelX(LONG* result);
TOVRINSUPPORTFBE_API esScreenTwipsPerPixelY(LONG* result);

TOVRINSUPPORTFBE_API esIsHostWinNT(VARIANT_BOOL* result);
TOVRINSUPPORTFBE_API esIsHostWin95(VARIANT_BOOL* result);
TOVRINSUPPORTFBE_API esIsHostWin98(VARIANT_BOOL* result);
TOVRINSUPPORTFBE_API esIsHostWinME(VARIANT_BOOL* result);
TOVRINSUPPORTFBE_API esIsHostWin64(VARIANT_BOOL* result);
TOVRINSUPPORTFBE_API esWindowsVersionMajor(LONG* result);
TOVRINSUPPORTFBE_API esWindowsVersionMinor(LONG* result);

TOVRINSUPPORTFBE_API esGetFullFileName(BSTR path, VARIANT_BOOL longNames, BSTR* result);
TOVRINSUPPORTFBE_API esGetFileName(BSTR path, VARIANT_BOOL withoutExtension, BSTR* result);
TOVRINSUPPORTFBE_API esGetFilePath(BSTR path, BSTR* result);
TOVRINSUPPORTFBE_API esBuildFileName(BSTR folder, BSTR name, LONG reserved, BSTR* result);
TOVRINSUPPORTFBE_API esBuildFileName2(BSTR part1, BSTR part2, BSTR part3, BSTR part4, BSTR part5, BSTR part6,
                                      BSTR part7, BSTR part8, BSTR part9, BSTR* result);
TOVRINSUPPORTFBE_API esReplaceFileExtension(BSTR path, BSTR extension, BSTR* result);

TOVRINSUPPORTFBE_API esIsFileExist(BSTR path, VARIANT_BOOL* result);
TOVRINSUPPORTFBE_API esIsDirectory(BSTR path, VARIANT_BOOL* result);
TOVRINSUPPORTFBE_API esIsFileOrDirectoryExist(BSTR path, VARIANT_BOOL* result);
TOVRINSUPPORTFBE_API esIsJunction(BSTR path, VARIANT_BOOL* result);
TOVRINSUPPORTFBE_API esGetFileSizeEx(BSTR path, double* result);

TOVRINSUPPORTFBE_API esSwapBytes4(LONG value, LONG* result);
TOVRINSUPPORTFBE_API esHex2(SHORT value, BSTR* result);
TOVRINSUPPORTFBE_API esHex4(LONG value, BSTR* result);
TOVRINSUPPORTFBE_API esHexEx4(LONG value, BSTR* result);
TOVRINSUPPORTFBE_API esHiByte(SHORT value, BYTE* result);
TOVRINSUPPORTFBE_API esLoByte(SHORT value, BYTE* result);
TOVRINSUPPORTFBE_API esHiWord(LONG value, SHORT* result);
TOVRINSUPPORTFBE_API esLoWord(LONG value, SHORT* result);

TOVRINSUPPORTFBE_API esSystemTimeToLocalSystemTime(const SYSTEMTIME* utc, SYSTEMTIME* local);
TOVRINSUPPORTFBE_API esLocalSystemTimeToSystemTime(const SYSTEMTIME* local, SYSTEMTIME* utc);

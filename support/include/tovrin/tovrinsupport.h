// tovrinsupport0100.dll: the general support library of the Tovrin product
// family. Every function returns an HRESULT and hands its value back through
// its last parameter, which it clears first. Strings are automation strings
// (BSTR, a null BSTR reads as ""); returned strings and arrays belong to the
// caller. Byte arrays are one-dimensional SAFEARRAYs of VT_UI1 with lower
// bound 0; an empty result is an unallocated (null) array.
//
// Display forms:
//   asFormatLong        the number in the user's locale, grouped, no decimals:
//                       1234567 -> "1,234,567" (en-US), -5 -> "-5".
//   asFormatByteSizeEx  below 1024: the count and " bytes", whatever the count
//                       ("0 bytes", "13 bytes", "1,023 bytes"); from 1024 on: the
//                       value in KB, MB, GB, TB, PB or EB (powers of 1024) with
//                       three significant digits, truncated, and the locale's
//                       decimal separator: "1.50 KB", "15.0 MB", "150 GB".
//                       Negative, infinite or NaN values fail (E_INVALIDARG).
//   asTrimEx            white space is U+0000, tab, LF, VT, FF, CR and blank.
//   asAnsiToOem         gives a byte string: each character stands for one
//                       byte of the OEM code page (characters the OEM page
//                       lacks become its default character); asOemToAnsi
//                       takes such a byte string and gives the text.
//   asUNICODEToUTF8     gives a byte string of the UTF-8 bytes; a lone
//                       surrogate, which UTF-8 cannot hold, becomes U+FFFD
//                       (EF BF BD). The byte string maps each byte through the
//                       ANSI code page, so it is exact wherever that code page
//                       is single-byte (every Windows ANSI page but the East
//                       Asian ones).
//   asIsINIKeyExist2    the two numbers are reserved and must be 0; a missing
//                       file or section means the key does not exist.
//   asLoadResIcon(Small) an empty name gives the system's application icon.
//   asGetIconFromHandle the picture owns a copy of the icon; the caller keeps
//                       its own handle.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <ocidl.h>

#ifdef TOVRINSUPPORT_BUILD
#define TOVRINSUPPORT_API extern "C" __declspec(dllexport) HRESULT __stdcall
#else
#define TOVRINSUPPORT_API extern "C" __declspec(dllimport) HRESULT __stdcall
#endif

TOVRINSUPPORT_API asFormatLong(LONG value, BSTR* result);
TOVRINSUPPORT_API asFormatByteSizeEx(double bytes, BSTR* result);

// Sets the window's large and small icons from the calling program's icon
// resource of that name (the program's module, not this library's).
TOVRINSUPPORT_API asSetWindowResIconAll(HWND window, BSTR iconName);
TOVRINSUPPORT_API asLoadResIcon(BSTR iconName, IPictureDisp** result);
TOVRINSUPPORT_API asLoadResIconSmall(BSTR iconName, IPictureDisp** result);
TOVRINSUPPORT_API asGetIconFromHandle(HICON icon, IPictureDisp** result);

TOVRINSUPPORT_API asAnsiToOem(BSTR text, BSTR* result);
TOVRINSUPPORT_API asOemToAnsi(BSTR text, BSTR* result);
TOVRINSUPPORT_API asUNICODEToUTF8(BSTR text, BSTR* result);
TOVRINSUPPORT_API asUTF8ToUNICODE(BSTR text, BSTR* result);
TOVRINSUPPORT_API asStrConvB(BSTR text, SAFEARRAY** result);
TOVRINSUPPORT_API asStrConvW(SAFEARRAY* bytes, BSTR* result);

// Negative counts fail; a count past the end gives "".
TOVRINSUPPORT_API asCutLeft(BSTR text, LONG count, BSTR* result);
TOVRINSUPPORT_API asTrimEx(BSTR text, BSTR* result);

// A zero address gives "".
TOVRINSUPPORT_API asGetStringFromPointerA(LONG_PTR address, BSTR* result);
TOVRINSUPPORT_API asGetStringFromPointerW(LONG_PTR address, BSTR* result);

TOVRINSUPPORT_API asLargeIntegerToDouble(const LARGE_INTEGER* value, double* result);
TOVRINSUPPORT_API asShortToUnsignedShort(SHORT value, LONG* result);

TOVRINSUPPORT_API asIsINIKeyExist2(BSTR section, BSTR key, BSTR fileName, LONG reserved1, LONG reserved2,
                                   VARIANT_BOOL* result);

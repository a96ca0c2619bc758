// What tovFSO's file methods share: the RaiseErrors rule, the file-name
// handling of the ANSI file functions, and small reads.
#pragma once

#include "com/AutomationError.h"

#include <tovrin/Unique.h>

#include <new>
#include <string>

namespace tovrin {

extern const wchar_t* const FsoSource; // "tovFSO"

// Runs a method's guarded body. An error stops it; with raiseErrors false the
// method gives its failure value, with raiseErrors true the saved error is
// raised again unchanged (number, source, description, help file, context).
// Whatever the body holds is released by its owners on the way out.
template <typename T, typename Body>
T Guarded(VARIANT_BOOL raiseErrors, T failureValue, Body&& body)
{
    try {
        return body();
    } catch (const AutomationError&) {
        if (raiseErrors)
            throw;
    } catch (const std::bad_alloc&) {
        if (raiseErrors)
            throw AutomationError(7, FsoSource);
    }
    return failureValue;
}

// The file name as the ANSI file functions take it: a name the system code
// page cannot express does not name any file.
std::string AnsiFileName(BSTR fileName);

// Error 6 for a file that is or would grow to 2 GiB or more.
[[noreturn]] void RaiseFileTooLarge();

// True when the name is an existing file (not a folder).
bool FileExists(BSTR fileName);

// Up to count bytes from the start of the file; raises the mapped error of
// the open or the read.
std::string ReadHead(BSTR fileName, size_t count);

} // namespace tovrin

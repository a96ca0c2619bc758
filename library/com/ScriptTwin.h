// The argument rules of the script twins (the ByVar methods): their Variants
// are coerced as VariantChangeType does, following one level of reference,
// and in/out values go back through the caller's own reference.
#pragma once

#include <windows.h>

#include <tovrin/Unique.h>

#include <oleauto.h>

namespace tovrin::twin {

// True when the caller left the argument out.
bool IsMissing(const VARIANT* argument);

// An [in] Variant as a string, Boolean or 32-bit integer; a left-out argument
// gives the fallback. A value that cannot be coerced raises error 13 (or 6
// for one out of range).
Bstr String(const VARIANT* argument, const wchar_t* fallback = L"");
VARIANT_BOOL Boolean(const VARIANT* argument, bool fallback);
long Long(const VARIANT* argument, long fallback);

// An [in, out] Variant passed on by reference to a typed method, and written
// back after the typed method succeeded.
class InOutLong {
public:
    explicit InOutLong(VARIANT* argument);
    long* get() { return &m_value; }
    template <typename Enum>
    Enum* as() { return reinterpret_cast<Enum*>(&m_value); }
    void WriteBack() const;

private:
    VARIANT* m_argument;
    long m_value;
};

class InOutBoolean {
public:
    explicit InOutBoolean(VARIANT* argument);
    VARIANT_BOOL* get() { return &m_value; }
    void WriteBack() const;

private:
    VARIANT* m_argument;
    VARIANT_BOOL m_value;
};

} // namespace tovrin::twin

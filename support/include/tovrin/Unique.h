// One owner for every kind of Win32 resource handle. A kind is described by a
// small traits struct (its type, its empty value, how to close it) and gets a
// one-line alias below. Owners are move-only; closing keeps GetLastError
// intact so that an error path can still report the error that led to it.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <utility>

namespace tovrin {

template <typename Traits>
class Unique {
public:
    using Type = typename Traits::Type;

    Unique() noexcept : m_value(Traits::Empty()) {}
    explicit Unique(Type value) noexcept : m_value(value) {}
    Unique(Unique&& other) noexcept : m_value(other.release()) {}
    Unique& operator=(Unique&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    Type get() const noexcept { return m_value; }
    bool valid() const noexcept { return m_value != Traits::Empty(); }
    explicit operator bool() const noexcept { return valid(); }

    Type release() noexcept { return std::exchange(m_value, Traits::Empty()); }

    void reset(Type value = Traits::Empty()) noexcept
    {
        Type old = std::exchange(m_value, value);
        if (old != Traits::Empty()) {
            DWORD lastError = ::GetLastError();
            Traits::Close(old);
            ::SetLastError(lastError);
        }
    }

    // Empties the owner and hands out the address for an API that fills it.
    Type* put() noexcept
    {
        reset();
        return &m_value;
    }

private:
    Type m_value;
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::RegCloseKey(h); }
};
struct IconTraits {
    using Type = HICON;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};
struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};
struct LocalMemoryTraits {
    using Type = HLOCAL;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::LocalFree(h); }
};
struct BstrTraits {
    using Type = BSTR;
    static Type Empty() { return nullptr; }
    static void Close(Type s) { ::SysFreeString(s); }
};
struct SafeArrayTraits {
    using Type = SAFEARRAY*;
    static Type Empty() { return nullptr; }
    static void Close(Type a) { ::SafeArrayDestroy(a); }
};

using Handle = Unique<FileHandleTraits>;         // CreateFile
using KernelHandle = Unique<KernelHandleTraits>; // processes, events
using FindHandle = Unique<FindHandleTraits>;     // FindFirstFile
using RegKey = Unique<RegKeyTraits>;
using Icon = Unique<IconTraits>;
using GdiObject = Unique<GdiObjectTraits>;
using LocalMemory = Unique<LocalMemoryTraits>;
using SafeArray = Unique<SafeArrayTraits>;

// An automation string. The empty string and no string are the same to
// callers, so a null BSTR reads as "".
class Bstr : public Unique<BstrTraits> {
public:
    using Unique::Unique;
    Bstr() = default;

    static Bstr From(const std::wstring& text)
    {
        Bstr s(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
        if (!s)
            throw std::bad_alloc();
        return s;
    }
    static std::wstring ToString(BSTR s) { return s ? std::wstring(s, ::SysStringLen(s)) : std::wstring(); }

    std::wstring str() const { return ToString(get()); }
    UINT length() const { return get() ? ::SysStringLen(get()) : 0; }
};

} // namespace tovrin

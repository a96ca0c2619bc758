// The one owner of COM interface pointers. Outside it and the object base
// nobody calls AddRef or Release.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <utility>

namespace tovrin {

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a reference the caller already holds.
    static ComPtr Attach(T* pointer) noexcept
    {
        ComPtr result;
        result.m_pointer = pointer;
        return result;
    }
    // Adds a reference of its own.
    static ComPtr Copy(T* pointer) noexcept
    {
        if (pointer)
            pointer->AddRef();
        return Attach(pointer);
    }
    ComPtr(const ComPtr& other) noexcept : m_pointer(other.m_pointer)
    {
        if (m_pointer)
            m_pointer->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const noexcept { return m_pointer; }
    T* operator->() const noexcept { return m_pointer; }
    explicit operator bool() const noexcept { return m_pointer != nullptr; }

    T* release() noexcept { return std::exchange(m_pointer, nullptr); }
    void reset() noexcept
    {
        if (T* old = std::exchange(m_pointer, nullptr))
            old->Release();
    }
    // Empties the owner and hands out the address for an API that fills it.
    T** put() noexcept
    {
        reset();
        return &m_pointer;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // Hands a new reference to an out-parameter.
    T* copy() const noexcept
    {
        if (m_pointer)
            m_pointer->AddRef();
        return m_pointer;
    }

    template <typename U>
    ComPtr<U> query(REFIID iid) const noexcept
    {
        ComPtr<U> result;
        if (m_pointer)
            m_pointer->QueryInterface(iid, result.put_void());
        return result;
    }

private:
    T* m_pointer = nullptr;
};

} // namespace tovrin

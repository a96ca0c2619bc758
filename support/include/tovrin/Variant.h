// An owned VARIANT, cleared on destruction.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <utility>

namespace tovrin {

class Variant {
public:
    Variant() noexcept { ::VariantInit(&m_value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : m_value(other.m_value) { ::VariantInit(&other.m_value); }
    Variant& operator=(Variant&& other) noexcept
    {
        if (this != &other) {
            ::VariantClear(&m_value);
            m_value = other.m_value;
            ::VariantInit(&other.m_value);
        }
        return *this;
    }
    ~Variant() { ::VariantClear(&m_value); }

    VARIANT* get() noexcept { return &m_value; }
    const VARIANT* get() const noexcept { return &m_value; }
    VARTYPE type() const noexcept { return V_VT(&m_value); }

    // Clears the value and hands out the address for an API that fills it.
    VARIANT* put() noexcept
    {
        ::VariantClear(&m_value);
        return &m_value;
    }

    // Moves the value into a caller's VARIANT, which must be empty or cleared.
    void detach(VARIANT* target) noexcept
    {
        *target = m_value;
        ::VariantInit(&m_value);
    }

private:
    VARIANT m_value;
};

} // namespace tovrin

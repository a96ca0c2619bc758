// Byte arrays as automation hands them around: one-dimensional SAFEARRAYs of
// VT_UI1 with lower bound 0; an empty array is no array at all.
#pragma once

#include <tovrin/Unique.h>

#include <objbase.h>

#include <new>
#include <stdexcept>
#include <cstring>
#include <string>

namespace tovrin {

// Pairs SafeArrayAccessData with SafeArrayUnaccessData.
class SafeArrayData {
public:
    explicit SafeArrayData(SAFEARRAY* array) : m_array(array)
    {
        HRESULT hr = ::SafeArrayAccessData(array, &m_data);
        if (FAILED(hr))
            throw std::runtime_error("SafeArrayAccessData failed");
    }
    ~SafeArrayData() { ::SafeArrayUnaccessData(m_array); }
    SafeArrayData(const SafeArrayData&) = delete;
    SafeArrayData& operator=(const SafeArrayData&) = delete;

    void* get() const { return m_data; }

private:
    SAFEARRAY* m_array;
    void* m_data = nullptr;
};

inline SafeArray MakeByteArray(const void* bytes, size_t length)
{
    if (length == 0)
        return SafeArray();
    if (length > 0x7FFFFFFF)
        throw std::length_error("byte array too long");
    SafeArray array(::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(length)));
    if (!array)
        throw std::bad_alloc();
    SafeArrayData data(array.get());
    std::memcpy(data.get(), bytes, length);
    return array;
}

// A byte array whose bytes the caller fills at once (from a file, say). Its
// data comes from the task allocator, as SafeArrayAllocData's does, so that
// SafeArrayDestroy frees it; it is not zeroed first, which for a large array
// would touch every page twice.
inline SafeArray MakeUnfilledByteArray(size_t length)
{
    if (length == 0)
        return SafeArray();
    if (length > 0x7FFFFFFF)
        throw std::length_error("byte array too long");
    SafeArray array;
    if (FAILED(::SafeArrayAllocDescriptorEx(VT_UI1, 1, array.put())))
        throw std::bad_alloc();
    array.get()->cbElements = 1;
    array.get()->rgsabound[0].lLbound = 0;
    array.get()->rgsabound[0].cElements = static_cast<ULONG>(length);
    array.get()->pvData = ::CoTaskMemAlloc(length);
    if (!array.get()->pvData)
        throw std::bad_alloc();
    return array;
}

inline SafeArray MakeByteArray(const std::string& bytes)
{
    return MakeByteArray(bytes.data(), bytes.size());
}

// True for a one-dimensional array of bytes; null counts as an empty one.
inline bool IsByteArray(SAFEARRAY* array)
{
    if (!array)
        return true;
    VARTYPE type = VT_EMPTY;
    if (FAILED(::SafeArrayGetVartype(array, &type)))
        type = array->cbElements == 1 ? VT_UI1 : VT_EMPTY;
    return ::SafeArrayGetDim(array) == 1 && (type == VT_UI1 || type == VT_I1);
}

inline size_t ByteArrayLength(SAFEARRAY* array)
{
    if (!array || !IsByteArray(array))
        return 0;
    return array->rgsabound[0].cElements;
}

inline std::string ReadByteArray(SAFEARRAY* array)
{
    if (!IsByteArray(array))
        throw std::invalid_argument("not a byte array");
    size_t length = ByteArrayLength(array);
    if (length == 0)
        return std::string();
    SafeArrayData data(array);
    return std::string(static_cast<const char*>(data.get()), length);
}

} // namespace tovrin

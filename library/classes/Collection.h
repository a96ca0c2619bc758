// The automation Collection: ordered, 1-based, with optional string keys that
// ignore case. The library hands out the platform's own collection where the
// automation runtime that provides it is installed, and this one elsewhere;
// both raise the same errors for a bad position, a missing or a taken key.
#pragma once

#include <tovrin/ComPtr.h>
#include "com/Dispatch.h"

#include "Ormelin0105.h"

#include <list>
#include <string>
#include <unordered_map>
#include <vector>

namespace tovrin {

class OwnCollection final : public Dispatch<OwnCollection, ::Collection> {
public:
    static REFIID InterfaceId() { return IID_Collection; }
    static constexpr wchar_t Source[] = L"Collection";

    HRESULT STDMETHODCALLTYPE Item(VARIANT* index, VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE Add(VARIANT* item, VARIANT* key, VARIANT* before, VARIANT* after) override;
    HRESULT STDMETHODCALLTYPE Count(long* count) override;
    HRESULT STDMETHODCALLTYPE Remove(VARIANT* index) override;
    HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown** enumerator) override;

private:
    friend class Dispatch<OwnCollection, ::Collection>;
    OwnCollection() = default;

    struct Entry {
        VARIANT Value;
        std::wstring Key; // folded to upper case; empty when added without a key
    };

    size_t PositionOf(const VARIANT* index) const; // zero-based; raises 5 or 9

    std::list<Entry> m_entries;                          // stable addresses
    std::vector<Entry*> m_order;                         // by position
    std::unordered_map<std::wstring, Entry*> m_keys;     // by folded key

public:
    ~OwnCollection() override;
};

// A new, empty collection: the platform's where it can be created, ours otherwise.
ComPtr<::Collection> NewCollection();

// Adds a string item under a key, as the list readers do.
void AddString(::Collection* collection, const std::wstring& item, const std::wstring& key);

} // namespace tovrin

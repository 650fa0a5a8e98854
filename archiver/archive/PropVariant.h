#pragma once
#include <windows.h>
#include <oleauto.h>
#include <propidl.h>

#include <cstdint>
#include <string>
#include <string_view>

// Owns one PROPVARIANT: empty when made, cleared (strings freed) when it goes.
// The readers tolerate what the library delivers: a missing property (VT_EMPTY)
// reads as 0 or an empty string.
class PropVariant {
public:
    PropVariant() { ::PropVariantInit(&m_value); }
    ~PropVariant() { ::PropVariantClear(&m_value); }
    PropVariant(const PropVariant&) = delete;
    PropVariant& operator=(const PropVariant&) = delete;

    // Empties the slot before a query fills it.
    PROPVARIANT* Receive() {
        ::PropVariantClear(&m_value);
        return &m_value;
    }
    const PROPVARIANT& Value() const { return m_value; }

    uint64_t AsUInt64() const;
    uint32_t AsUInt32() const { return static_cast<uint32_t>(AsUInt64()); }
    bool AsBool() const { return m_value.vt == VT_BOOL && m_value.boolVal != VARIANT_FALSE; }
    std::wstring AsString() const;
    // Valid while the value is held: no copy for each of a million items.
    std::wstring_view AsStringView() const;
    FILETIME AsFileTime() const;

private:
    PROPVARIANT m_value;
};

// Values handed to the library in out-parameters; strings are new BSTRs that the
// library frees.
void SetPropString(PROPVARIANT* value, const std::wstring& text);
void SetPropBool(PROPVARIANT* value, bool flag);
void SetPropUInt64(PROPVARIANT* value, uint64_t number);
void SetPropUInt32(PROPVARIANT* value, uint32_t number);
void SetPropFileTime(PROPVARIANT* value, FILETIME time);
BSTR NewBstr(const std::wstring& text);

#include "PropVariant.h"

uint64_t PropVariant::AsUInt64() const {
    switch (m_value.vt) {
    case VT_UI8: return m_value.uhVal.QuadPart;
    case VT_I8: return static_cast<uint64_t>(m_value.hVal.QuadPart);
    case VT_UI4: return m_value.ulVal;
    case VT_I4: return static_cast<uint32_t>(m_value.lVal);
    case VT_UI2: return m_value.uiVal;
    case VT_UI1: return m_value.bVal;
    case VT_BOOL: return m_value.boolVal != VARIANT_FALSE ? 1 : 0;
    default: return 0;
    }
}

std::wstring PropVariant::AsString() const { return std::wstring(AsStringView()); }

std::wstring_view PropVariant::AsStringView() const {
    if (m_value.vt != VT_BSTR || m_value.bstrVal == nullptr) return {};
    return std::wstring_view(m_value.bstrVal, ::SysStringLen(m_value.bstrVal));
}

FILETIME PropVariant::AsFileTime() const {
    if (m_value.vt == VT_FILETIME) return m_value.filetime;
    return FILETIME{};
}

BSTR NewBstr(const std::wstring& text) {
    return ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void SetPropString(PROPVARIANT* value, const std::wstring& text) {
    value->vt = VT_BSTR;
    value->bstrVal = NewBstr(text);
}

void SetPropBool(PROPVARIANT* value, bool flag) {
    value->vt = VT_BOOL;
    value->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetPropUInt64(PROPVARIANT* value, uint64_t number) {
    value->vt = VT_UI8;
    value->uhVal.QuadPart = number;
}

void SetPropUInt32(PROPVARIANT* value, uint32_t number) {
    value->vt = VT_UI4;
    value->ulVal = number;
}

void SetPropFileTime(PROPVARIANT* value, FILETIME time) {
    value->vt = VT_FILETIME;
    value->filetime = time;
}

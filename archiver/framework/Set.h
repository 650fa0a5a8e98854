#pragma once
#include <cstdint>
#include <initializer_list>

// A set of up to eight enumeration values held in one byte, bit n for value n: the
// layout in which option sets are stored with a window's settings.
template <class Enum>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<Enum> values) {
        for (Enum value : values) m_bits |= Bit(value);
    }
    static constexpr TSet FromBits(uint8_t bits) {
        TSet set;
        set.m_bits = bits;
        return set;
    }

    constexpr bool Contains(Enum value) const { return (m_bits & Bit(value)) != 0; }
    constexpr TSet& Include(Enum value) {
        m_bits |= Bit(value);
        return *this;
    }
    constexpr TSet& Exclude(Enum value) {
        m_bits &= static_cast<uint8_t>(~Bit(value));
        return *this;
    }
    constexpr uint8_t Bits() const { return m_bits; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr uint8_t Bit(Enum value) { return static_cast<uint8_t>(1u << static_cast<unsigned>(value)); }

    uint8_t m_bits = 0;
};

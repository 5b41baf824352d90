// A set of the values of a small enumeration, as a bit mask.
#pragma once

#include <cstdint>
#include <initializer_list>

template <typename E>
class EnumSet {
public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<E> values)
    {
        for (E value : values) bits_ |= bit(value);
    }
    constexpr bool contains(E value) const { return (bits_ & bit(value)) != 0; }
    constexpr void include(E value) { bits_ |= bit(value); }
    constexpr void exclude(E value) { bits_ &= ~bit(value); }
    constexpr bool operator==(const EnumSet&) const = default;

private:
    static constexpr uint32_t bit(E value) { return uint32_t{1} << static_cast<unsigned>(value); }
    uint32_t bits_ = 0;
};

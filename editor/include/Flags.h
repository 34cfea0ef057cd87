#pragma once

#include <type_traits>

namespace korvalin {

// A set of values of one enum, combined with |, as a typed value of its own: a style or
// an option set never mixes with plain numbers or with another enum's flags.
template <typename Enum>
requires std::is_enum_v<Enum>
class Flags {
public:
    using Int = std::underlying_type_t<Enum>;

    constexpr Flags() = default;
    constexpr Flags(Enum flag) : bits_(static_cast<Int>(flag)) {}

    // The numeric value that a file format or the original program fixes.
    [[nodiscard]] static constexpr Flags fromInt(Int bits) {
        Flags flags;
        flags.bits_ = bits;
        return flags;
    }
    [[nodiscard]] constexpr Int toInt() const { return bits_; }

    [[nodiscard]] constexpr bool testFlag(Enum flag) const {
        const Int bits = static_cast<Int>(flag);
        return bits == 0 ? bits_ == 0 : (bits_ & bits) == bits;
    }

    constexpr Flags& operator|=(Flags other) {
        bits_ |= other.bits_;
        return *this;
    }
    [[nodiscard]] friend constexpr Flags operator|(Flags a, Flags b) { return a |= b; }
    friend constexpr bool operator==(Flags, Flags) = default;

private:
    Int bits_ = 0;
};

// Set for each enum whose values combine: then `A | B` gives its Flags.
template <typename Enum>
inline constexpr bool kIsFlag = false;

template <typename Enum>
requires kIsFlag<Enum>
[[nodiscard]] constexpr Flags<Enum> operator|(Enum a, Enum b) {
    return Flags<Enum>(a) | Flags<Enum>(b);
}

} // namespace korvalin

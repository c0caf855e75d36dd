#pragma once

#include <cstdint>
#include <iosfwd>

namespace kel {

// 24-bit RGB packed as 0x00BBGGRR (red in the low byte); white by default.
class Color {
public:
    Color() = default;
    Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue) { set(red, green, blue); }

    std::uint8_t red() const { return value_ & 0xFFu; }
    std::uint8_t green() const { return (value_ >> 8) & 0xFFu; }
    std::uint8_t blue() const { return (value_ >> 16) & 0xFFu; }
    void setRed(std::uint8_t r) { value_ = (value_ & ~0xFFu) | r; }
    void setGreen(std::uint8_t g) { value_ = (value_ & ~0xFF00u) | (std::uint32_t{g} << 8); }
    void setBlue(std::uint8_t b) { value_ = (value_ & ~0xFF0000u) | (std::uint32_t{b} << 16); }
    std::uint32_t value() const { return value_; }
    void setValue(std::uint32_t value) { value_ = value; }
    void set(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        value_ = std::uint32_t{r} + std::uint32_t{g} * 256u + std::uint32_t{b} * 65536u;
    }

    friend bool operator==(const Color& a, const Color& b) { return a.value_ == b.value_; }

private:
    std::uint32_t value_ = 0x00FFFFFFu;
};

// "red green blue" in decimal, single blanks, no trailing blank.
std::ostream& operator<<(std::ostream& out, const Color& c);
// Three unsigned 16-bit numbers, red, green, blue; each keeps its low 8 bits.
std::istream& operator>>(std::istream& in, Color& c);

}  // namespace kel

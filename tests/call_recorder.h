#pragma once
// A drawing target that keeps only a fingerprint of the calls it receives:
// 64-bit FNV-1a over each call's kind, its arguments' bits and its colour, in
// the order the calls came. Two builds that drew the same calls, to the last
// bit, give the same value.

#include <cstdint>
#include <cstring>
#include <string>

#include "render/DrawTarget.h"

namespace chain::testing {

class CallRecorder final : public DrawTarget {
 public:
  void Line(double x1, double y1, double x2, double y2, ColourWord colour) override {
    Add(kLine);
    for (double v : {x1, y1, x2, y2}) Add(v);
    Add(colour);
  }
  void Circle(double x, double y, double radius, ColourWord colour) override {
    Add(kCircle);
    for (double v : {x, y, radius}) Add(v);
    Add(colour);
  }

  [[nodiscard]] std::uint64_t Value() const noexcept { return value_; }
  // The value as 16 lower-case hexadecimal digits.
  [[nodiscard]] std::string Hex() const;

 private:
  static constexpr std::uint32_t kLine = 1;
  static constexpr std::uint32_t kCircle = 2;

  void Add(double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    AddBytes(bits, 8);
  }
  void Add(std::uint32_t v) { AddBytes(v, 4); }
  // Little-endian, whatever the machine's order.
  void AddBytes(std::uint64_t v, int count) {
    for (int i = 0; i < count; ++i) {
      value_ ^= (v >> (8 * i)) & 0xFFu;
      value_ *= 0x100000001B3u;
    }
  }

  std::uint64_t value_ = 0xCBF29CE484222325u;
};

inline std::string CallRecorder::Hex() const {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 0; i < 16; ++i) {
    text[static_cast<std::size_t>(15 - i)] = kDigits[(value_ >> (4 * i)) & 0xFu];
  }
  return text;
}

}  // namespace chain::testing

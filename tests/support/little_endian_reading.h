#pragma once

#include <bit>
#include <cstdint>
#include <string>

namespace lobewright::testing {

// Numbers read back from written bytes, little-endian whatever the host's order.
inline uint32_t u32At(const std::string& bytes, std::size_t at) {
  uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes.at(at + i))) << (8 * i);
  }
  return value;
}

inline uint16_t u16At(const std::string& bytes, std::size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes.at(at)) |
                               static_cast<unsigned char>(bytes.at(at + 1)) << 8);
}

inline float f32At(const std::string& bytes, std::size_t at) {
  return std::bit_cast<float>(u32At(bytes, at));
}

}  // namespace lobewright::testing

#pragma once

#include <bit>
#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

namespace lobewright {

// Binary output in little-endian byte order whatever the host's, gathered in a block that goes
// to the stream when full: one stream call per 64 KiB rather than one per number.
class LittleEndianOutput {
 public:
  explicit LittleEndianOutput(std::ostream& out) : m_out(out), m_block(kBlockSize) {}
  LittleEndianOutput(const LittleEndianOutput&) = delete;
  LittleEndianOutput& operator=(const LittleEndianOutput&) = delete;

  void u8(uint8_t value) { room(1)[0] = static_cast<char>(value); }
  void u16(uint16_t value) { put(value, 2); }
  void u32(uint32_t value) { put(value, 4); }
  void i32(int32_t value) { put(static_cast<uint32_t>(value), 4); }
  void f32(float value) { put(std::bit_cast<uint32_t>(value), 4); }
  void bytes(std::string_view data) {
    flush();
    m_out.write(data.data(), static_cast<std::streamsize>(data.size()));
  }
  void zeros(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) u8(0);
  }

  // Passes what is gathered to the stream; call before looking at the stream's state.
  void flush() {
    if (m_used > 0) m_out.write(m_block.data(), static_cast<std::streamsize>(m_used));
    m_used = 0;
  }

 private:
  static constexpr std::size_t kBlockSize = std::size_t{1} << 16;

  char* room(std::size_t size) {
    if (m_used + size > kBlockSize) flush();
    char* at = m_block.data() + m_used;
    m_used += size;
    return at;
  }
  void put(uint32_t value, std::size_t size) {
    char* at = room(size);
    for (std::size_t i = 0; i < size; ++i) at[i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
  }

  std::ostream& m_out;
  std::vector<char> m_block;
  std::size_t m_used = 0;
};

}  // namespace lobewright

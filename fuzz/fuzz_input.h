#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/messages.h"
#include "input/text_scan.h"

// Every fuzz target defines this; libFuzzer calls it, and so does the replay program.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace lobewright::fuzzing {

inline std::string asText(const uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A broken promise of the code under test: stop here so the fuzzer keeps the input.
inline void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz target: %s\n", what);
  std::abort();
}

// A refusal says why, and the line it quotes reaches the user as a line's worth of plain text.
inline void requireExplained(const TextError& error) {
  require(!error.what.empty(), "a refusal without a reason");
  require(error.quote.size() <= kQuotedLineLength + 3, "a quote longer than a line's worth");
  for (const char c : error.quote) require(c >= ' ' && c <= '~', "a quote that is not plain text");
}

// Warnings are expected from malformed input; the targets check results, not messages.
class SilentSink : public MessageSink {
 public:
  void show(const std::string&, const std::string&) override {}
};

}  // namespace lobewright::fuzzing

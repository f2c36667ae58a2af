#pragma once

namespace lobewright {

// The loops over many points run four doubles at a time where the processor has AVX2, else two,
// as every x86-64 processor can. They do the same arithmetic on each point either way (no fused
// multiply-adds), so both give the same numbers.

// Whether the wide loops are used: from the processor, or as a test asked.
[[nodiscard]] bool wideLanesInUse();
// Asks for the wide loops or the narrow ones, for tests that compare the two; false when the wide
// ones were asked for and this processor cannot run them.
bool useWideLanes(bool wide);

// Runs work with AVX2 instructions allowed in everything it calls.
template <class Work>
[[gnu::target("avx2"), gnu::flatten]] void withWideLanes(const Work& work) {
  work();
}

// Runs work compiled for AVX2 when the wide loops are used, else as compiled.
template <class Work>
void withLanesInUse(const Work& work) {
  if (wideLanesInUse()) {
    withWideLanes(work);
  } else {
    work();
  }
}

}  // namespace lobewright

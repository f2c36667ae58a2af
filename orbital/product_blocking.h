#pragma once

namespace lobewright {

// Eigen cuts the inner dimension of a large matrix product into blocks sized to the processor's
// L1 cache and adds the blocks' sums in turn, so the last digits of S^-1/2 and of a density
// matrix over 500 or so AOs would depend on the processor (32 KiB of L1 on most x86-64 chips,
// 48 KiB on recent Intel ones). Every large product of the exact model is preceded by this call,
// which gives them all the same blocks; Eigen's L2 and L3 sizes, which only order the work, stay
// the processor's own.
void fixProductBlocking();

}  // namespace lobewright

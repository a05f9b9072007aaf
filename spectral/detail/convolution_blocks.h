#pragma once

// The causal convolution for one set of vector operations (Ops: Sse2Ops or Avx2Ops), included
// only by the kernel file of that instruction set. Vector lanes hold neighbouring outputs, never
// parts of one sum: each output still adds taps[k] * x[j - k] to its own accumulator from 0.0
// in increasing k, so every path gives the bits of the plain loop.
#include <cstddef>

namespace tolvane::detail {

// Outputs j .. j + kVectors * kLanes - 1. Output j + l sees taps 0 .. min(j + l, lastTap).
// All lanes share taps 0 .. min(j, lastTap); in the ramp at the start, vector v goes on alone
// up to tap j + v * kLanes (its first lane's last), and each lane finishes on its own.
template <class Ops, std::size_t kVectors>
void ConvolveBlock(const double* taps, std::size_t lastTap, const double* x, double* out,
                   std::size_t j) {
  using V = typename Ops::V;
  constexpr std::size_t kLanes = Ops::kLanes;
  V acc[kVectors];
#pragma GCC unroll 16
  for (std::size_t v = 0; v < kVectors; ++v) {
    acc[v] = Ops::Zero();
  }
  const std::size_t shared = j < lastTap ? j : lastTap;
  for (std::size_t k = 0; k <= shared; ++k) {
    const V tap = Ops::Broadcast(taps[k]);
    const double* window = x + (j - k);
#pragma GCC unroll 16
    for (std::size_t v = 0; v < kVectors; ++v) {
      acc[v] = Ops::Add(acc[v], Ops::Mul(tap, Ops::Load(window + v * kLanes)));
    }
  }
  if (shared == lastTap) {
#pragma GCC unroll 16
    for (std::size_t v = 0; v < kVectors; ++v) {
      Ops::Store(out + j + v * kLanes, acc[v]);
    }
    return;
  }

  const std::size_t rampEnd =
      j + (kVectors - 1) * kLanes < lastTap ? j + (kVectors - 1) * kLanes : lastTap;
  for (std::size_t k = shared + 1; k <= rampEnd; ++k) {
    const V tap = Ops::Broadcast(taps[k]);
#pragma GCC unroll 16
    for (std::size_t v = 1; v < kVectors; ++v) {
      if (k <= j + v * kLanes) {
        acc[v] = Ops::Add(acc[v], Ops::Mul(tap, Ops::Load(x + (j + v * kLanes - k))));
      }
    }
  }
#pragma GCC unroll 16
  for (std::size_t v = 0; v < kVectors; ++v) {
    Ops::Store(out + j + v * kLanes, acc[v]);
  }
  for (std::size_t v = 0; v < kVectors; ++v) {
    const std::size_t first = j + v * kLanes;
    for (std::size_t lane = 1; lane < kLanes; ++lane) {
      const std::size_t at = first + lane;
      const std::size_t last = at < lastTap ? at : lastTap;
      double sum = out[at];
      for (std::size_t k = first + 1; k <= last; ++k) {
        sum += taps[k] * x[at - k];
      }
      out[at] = sum;
    }
  }
}

// out[j] for j < size, as CausalConvolution states it; tapCount >= 1.
template <class Ops>
void VectorConvolution(const double* taps, std::size_t tapCount, const double* x, double* out,
                       std::size_t size) {
  // Eight independent sums per tap keep the adders busy instead of waiting on one another.
  constexpr std::size_t kWide = 8;
  constexpr std::size_t kLanes = Ops::kLanes;
  const std::size_t lastTap = tapCount - 1;
  std::size_t j = 0;
  for (; j + kWide * kLanes <= size; j += kWide * kLanes) {
    ConvolveBlock<Ops, kWide>(taps, lastTap, x, out, j);
  }
  for (; j + kLanes <= size; j += kLanes) {
    ConvolveBlock<Ops, 1>(taps, lastTap, x, out, j);
  }
  for (; j < size; ++j) {
    const std::size_t last = j < lastTap ? j : lastTap;
    double sum = 0.0;
    for (std::size_t k = 0; k <= last; ++k) {
      sum += taps[k] * x[j - k];
    }
    out[j] = sum;
  }
}

}  // namespace tolvane::detail

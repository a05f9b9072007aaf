#pragma once

// The transform's stages for one set of vector operations (Ops: Sse2Ops or Avx2Ops), included
// only by the kernel file of that instruction set. Every value goes through exactly the
// butterflies of the scalar loops, in the same order, with the same operations: vectors only
// carry independent butterflies side by side, and two stages done in one sweep touch each
// element in the same sequence as two sweeps would.
#include <cstddef>

#include "spectral/detail/fft_tables.h"

namespace tolvane::detail {

// (a, b) <- (a + w * b, a - w * b) with w = c + i*s, rounded as the transform always has.
template <class Ops>
inline void Butterfly(typename Ops::V& aRe, typename Ops::V& aIm, typename Ops::V& bRe,
                      typename Ops::V& bIm, typename Ops::V c, typename Ops::V s) {
  const typename Ops::V dx = Ops::Add(Ops::Mul(s, bIm), Ops::Mul(c, bRe));
  const typename Ops::V dy = Ops::Sub(Ops::Mul(c, bIm), Ops::Mul(s, bRe));
  bRe = Ops::Sub(aRe, dx);
  aRe = Ops::Add(aRe, dx);
  bIm = Ops::Sub(aIm, dy);
  aIm = Ops::Add(aIm, dy);
}

// Loads the input in bit-reversed order and runs stages 1 and 2, which work within groups of
// four adjacent outputs. The vector lanes hold different groups, chosen so that each load from
// src is contiguous: lane l of the group at output o (o a multiple of four below n / kLanes)
// sits at o + reverse(l) * n / kLanes. negate flips the sign of the sines for the inverse.
// Needs n >= 4 * kLanes.
template <class Ops>
void BitReverseAndFirstStages(const FftTables& tables, const double* src, double* re, double* im,
                              typename Ops::V negate) {
  using V = typename Ops::V;
  const std::size_t n = tables.n;
  const std::size_t quarter = n / 4;
  const std::size_t spread = n / Ops::kLanes;
  const double* cosines = tables.cosines;
  const double* sines = tables.sines;
  const V c1 = Ops::Broadcast(cosines[1]);
  const V s1 = Ops::Xor(Ops::Broadcast(sines[1]), negate);
  const V c2 = Ops::Broadcast(cosines[2]);
  const V s2 = Ops::Xor(Ops::Broadcast(sines[2]), negate);
  const V c3 = Ops::Broadcast(cosines[3]);
  const V s3 = Ops::Xor(Ops::Broadcast(sines[3]), negate);
  for (std::size_t o = 0; o < spread; o += 4) {
    // Element p of the group comes from reverse(o) + reverse(p) + lane.
    const double* from = src + tables.reversed[o];
    V re0 = Ops::Load(from);
    V re1 = Ops::Load(from + 2 * quarter);
    V re2 = Ops::Load(from + quarter);
    V re3 = Ops::Load(from + 3 * quarter);
    V im0 = Ops::Zero();
    V im1 = Ops::Zero();
    V im2 = Ops::Zero();
    V im3 = Ops::Zero();
    Butterfly<Ops>(re0, im0, re1, im1, c1, s1);
    Butterfly<Ops>(re2, im2, re3, im3, c1, s1);
    Butterfly<Ops>(re0, im0, re2, im2, c2, s2);
    Butterfly<Ops>(re1, im1, re3, im3, c3, s3);
    Ops::StoreGroups(re + o, spread, re0, re1, re2, re3);
    Ops::StoreGroups(im + o, spread, im0, im1, im2, im3);
  }
}

// Stage k on its own (k >= kLanes).
template <class Ops>
void SingleStage(const FftTables& tables, double* re, double* im, std::size_t k,
                 typename Ops::V negate) {
  using V = typename Ops::V;
  const std::size_t n = tables.n;
  const double* cosines = tables.cosines + k;
  const double* sines = tables.sines + k;
  for (std::size_t block = 0; block < n; block += 2 * k) {
    for (std::size_t j = 0; j < k; j += Ops::kLanes) {
      const std::size_t a = block + j;
      const std::size_t b = a + k;
      const V c = Ops::Load(cosines + j);
      const V s = Ops::Xor(Ops::Load(sines + j), negate);
      V aRe = Ops::Load(re + a);
      V aIm = Ops::Load(im + a);
      V bRe = Ops::Load(re + b);
      V bIm = Ops::Load(im + b);
      Butterfly<Ops>(aRe, aIm, bRe, bIm, c, s);
      Ops::Store(re + a, aRe);
      Ops::Store(im + a, aIm);
      Ops::Store(re + b, bRe);
      Ops::Store(im + b, bIm);
    }
  }
}

// Stages k and 2k in one sweep (k >= kLanes): per block of 4k, stage k pairs (p0, p1) and
// (p2, p3) with twiddle j, then stage 2k pairs (p0, p2) with its twiddle j and (p1, p3) with
// its twiddle j + k.
template <class Ops>
void TwoStages(const FftTables& tables, double* re, double* im, std::size_t k,
               typename Ops::V negate) {
  using V = typename Ops::V;
  const std::size_t n = tables.n;
  const double* cosines = tables.cosines;
  const double* sines = tables.sines;
  for (std::size_t block = 0; block < n; block += 4 * k) {
    for (std::size_t j = 0; j < k; j += Ops::kLanes) {
      const std::size_t p0 = block + j;
      const std::size_t p1 = p0 + k;
      const std::size_t p2 = p0 + 2 * k;
      const std::size_t p3 = p0 + 3 * k;
      const V c1 = Ops::Load(cosines + k + j);
      const V s1 = Ops::Xor(Ops::Load(sines + k + j), negate);
      const V c2 = Ops::Load(cosines + 2 * k + j);
      const V s2 = Ops::Xor(Ops::Load(sines + 2 * k + j), negate);
      const V c3 = Ops::Load(cosines + 3 * k + j);
      const V s3 = Ops::Xor(Ops::Load(sines + 3 * k + j), negate);
      V re0 = Ops::Load(re + p0);
      V im0 = Ops::Load(im + p0);
      V re1 = Ops::Load(re + p1);
      V im1 = Ops::Load(im + p1);
      V re2 = Ops::Load(re + p2);
      V im2 = Ops::Load(im + p2);
      V re3 = Ops::Load(re + p3);
      V im3 = Ops::Load(im + p3);
      Butterfly<Ops>(re0, im0, re1, im1, c1, s1);
      Butterfly<Ops>(re2, im2, re3, im3, c1, s1);
      Butterfly<Ops>(re0, im0, re2, im2, c2, s2);
      Butterfly<Ops>(re1, im1, re3, im3, c3, s3);
      Ops::Store(re + p0, re0);
      Ops::Store(im + p0, im0);
      Ops::Store(re + p1, re1);
      Ops::Store(im + p1, im1);
      Ops::Store(re + p2, re2);
      Ops::Store(im + p2, im2);
      Ops::Store(re + p3, re3);
      Ops::Store(im + p3, im3);
    }
  }
}

// The whole unscaled transform; needs n >= 4 * kLanes.
template <class Ops>
void VectorTransform(const FftTables& tables, const double* src, double* re, double* im,
                     bool inverse) {
  const typename Ops::V negate = inverse ? Ops::Broadcast(-0.0) : Ops::Zero();
  BitReverseAndFirstStages<Ops>(tables, src, re, im, negate);
  const std::size_t n = tables.n;
  std::size_t k = 4;
  // Stages 4 .. n/2 in pairs; an odd one out goes first on its own.
  std::size_t stagesLeft = 0;
  for (std::size_t m = k; m < n; m *= 2) {
    ++stagesLeft;
  }
  if (stagesLeft % 2 != 0) {
    SingleStage<Ops>(tables, re, im, k, negate);
    k *= 2;
  }
  for (; k < n; k *= 4) {
    TwoStages<Ops>(tables, re, im, k, negate);
  }
}

}  // namespace tolvane::detail

// The C library's default generator (srand and rand) computed inline: the same values for every
// seed, without a call and a lock per value. It is trusted only after its first values for the
// seed at hand have been compared with the library's own; otherwise the library's rand is used.
//
// As a sequence of 32-bit words: r[0] is the seed (0 taken as 1), r[1..30] each 16807 times the
// word before modulo 2^31 - 1, r[31..33] repeat r[0..2], and from there r[i] = r[i-31] + r[i-3]
// modulo 2^32. The library throws away r[34..343] and gives r[i] >> 1 from r[344] on.
#ifndef CRAND_C_RANDOM_H_
#define CRAND_C_RANDOM_H_

#include <array>
#include <cstddef>
#include <cstdint>

namespace crand {

/// How far back the two words lie whose sum makes the next word.
inline constexpr size_t kRandLongLag = 31;
inline constexpr size_t kRandShortLag = 3;

/// Words made at a time, so that each value costs an add, a shift and a predicted branch.
inline constexpr size_t kRandWordsPerRefill = 1024;

/// How many first values of a seed must equal the library's before the inline ones are used.
inline constexpr int kRandCheckedValues = 400;

/// The generator's state. `words` holds the 31 words before the current batch, then the batch;
/// `next` indexes the next word of the batch to hand out. Set up by `seedCRandom`.
struct CRandom {
  std::array<uint32_t, kRandLongLag + kRandWordsPerRefill> words;
  size_t next;
};

/// Positions `generator` where the library's rand stands after srand(`seed`).
void seedCRandom(CRandom& generator, uint32_t seed);

/// Positions `generator` where the library's rand stands after srand(`seed`) and `position`
/// calls of rand: the value it gives next is the one rand() returns at call `position` + 1.
/// Takes about log2(`position`) steps of a few thousand additions and products, so that the
/// sequence can be taken up anywhere, by several threads at once.
void seedCRandomAt(CRandom& generator, uint32_t seed, uint64_t position);

/// Makes the next batch of words; `nextCRandom` calls it when the batch is used up.
void refillCRandom(CRandom& generator);

/// The value rand() would return next (0..2147483647).
inline int nextCRandom(CRandom& generator) {
  if (generator.next == generator.words.size()) refillCRandom(generator);
  return static_cast<int>(generator.words[generator.next++] >> 1);
}

/// A seed-and-draw pair: the library's srand and rand, or in tests a stand-in for them.
struct RandFunctions {
  void (*seed)(unsigned);
  int (*next)();
};

/// The library's own srand and rand.
RandFunctions libraryRand();

/// Seeds `generator` and tells whether it may stand in for `reference` on this run: true when
/// its first kRandCheckedValues values equal those `reference` gives after being seeded with
/// `seed`. Either way both are left seeded with `seed`, as if nothing had been drawn.
bool seedCheckedCRandom(CRandom& generator, uint32_t seed, RandFunctions reference);

}  // namespace crand

#endif  // CRAND_C_RANDOM_H_

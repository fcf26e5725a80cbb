#include "crand/c_random.h"

#include <algorithm>
#include <cstdlib>

namespace crand {
namespace {

// The seeding step: 16807 * word modulo 2^31 - 1 by Schrage's method, so that no product
// leaves 32 bits, in signed words as the library keeps them (a seed above 2^31 - 1 is negative
// there, and so are its quotient and remainder).
int32_t nextSeedWord(int32_t word) {
  constexpr int32_t kModulus = 2147483647;
  constexpr int32_t kMultiplier = 16807;
  constexpr int32_t kQuotient = kModulus / kMultiplier;   // 127773
  constexpr int32_t kRemainder = kModulus % kMultiplier;  // 2836
  const int32_t next = kMultiplier * (word % kQuotient) - kRemainder * (word / kQuotient);
  return next < 0 ? next + kModulus : next;
}

// Fills words[from..] from the words before them. The last three words ride in registers, so
// that no sum waits for the one stored three words earlier to come back from memory.
void extendWords(CRandom& generator, size_t from) {
  static_assert(kRandShortLag == 3);
  auto& words = generator.words;
  uint32_t third = words[from - 3];
  uint32_t second = words[from - 2];
  uint32_t last = words[from - 1];
  for (size_t i = from; i < words.size(); ++i) {
    const uint32_t word = words[i - kRandLongLag] + third;
    words[i] = word;
    third = second;
    second = last;
    last = word;
  }
}

// The words copied ahead of the first sum, and the sums thrown away after seeding.
constexpr size_t kRepeatedWords = kRandShortLag;
constexpr size_t kDiscardedWords = 10 * kRandLongLag;
static_assert(kRandLongLag + kRepeatedWords + kDiscardedWords <= kRandLongLag + kRandWordsPerRefill,
              "the first batch holds the words thrown away");

}  // namespace

void seedCRandom(CRandom& generator, uint32_t seed) {
  auto word = static_cast<int32_t>(seed == 0 ? 1 : seed);
  generator.words[0] = static_cast<uint32_t>(word);
  for (size_t i = 1; i < kRandLongLag; ++i) {
    word = nextSeedWord(word);
    generator.words[i] = static_cast<uint32_t>(word);
  }
  std::copy_n(generator.words.begin(), kRepeatedWords, generator.words.begin() + kRandLongLag);
  constexpr size_t kFirstSum = kRandLongLag + kRepeatedWords;
  extendWords(generator, kFirstSum);
  generator.next = kFirstSum + kDiscardedWords;
}

void refillCRandom(CRandom& generator) {
  auto& words = generator.words;
  std::copy(words.end() - kRandLongLag, words.end(), words.begin());
  extendWords(generator, kRandLongLag);
  generator.next = kRandLongLag;
}

RandFunctions libraryRand() {
  return {[](unsigned seed) { std::srand(seed); }, [] { return std::rand(); }};
}

bool seedCheckedCRandom(CRandom& generator, uint32_t seed, RandFunctions reference) {
  seedCRandom(generator, seed);
  reference.seed(seed);
  bool agrees = true;
  for (int i = 0; agrees && i < kRandCheckedValues; ++i) {
    agrees = reference.next() == nextCRandom(generator);
  }
  seedCRandom(generator, seed);
  reference.seed(seed);
  return agrees;
}

}  // namespace crand

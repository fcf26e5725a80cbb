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

// A polynomial modulo x^31 - x^28 - 1, coefficients modulo 2^32: element j is that of x^j.
// The words from r[3] on obey the sum rule alone, so r[3 + n] is the sum over j of coefficient
// j of x^n times r[3 + j].
using Residue = std::array<uint32_t, kRandLongLag>;

// The product of `a` and `b`, its terms of degree 31 and above folded down from the highest by
// x^d = x^(d-3) + x^(d-31).
Residue multiply(const Residue& a, const Residue& b) {
  std::array<uint32_t, 2 * kRandLongLag - 1> product{};
  for (size_t i = 0; i < kRandLongLag; ++i) {
    for (size_t j = 0; j < kRandLongLag; ++j) product[i + j] += a[i] * b[j];
  }
  for (size_t degree = product.size() - 1; degree >= kRandLongLag; --degree) {
    product[degree - kRandShortLag] += product[degree];
    product[degree - kRandLongLag] += product[degree];
  }
  Residue result;
  std::copy_n(product.begin(), kRandLongLag, result.begin());
  return result;
}

// x times `a`: every term one degree up, the one that reaches x^31 folded to x^28 + 1.
Residue timesX(const Residue& a) {
  Residue result;
  result[0] = a[kRandLongLag - 1];
  std::copy_n(a.begin(), kRandLongLag - 1, result.begin() + 1);
  result[kRandLongLag - kRandShortLag] += a[kRandLongLag - 1];
  return result;
}

// x^n by squaring.
Residue powerOfX(uint64_t n) {
  Residue result{};
  result[0] = 1;
  Residue square{};
  square[1] = 1;
  for (; n != 0; n >>= 1) {
    if (n & 1) result = multiply(result, square);
    if (n > 1) square = multiply(square, square);
  }
  return result;
}

}  // namespace

void seedCRandomAt(CRandom& generator, uint32_t seed, uint64_t position) {
  seedCRandom(generator, seed);
  Residue base;
  std::copy_n(generator.words.begin() + kRepeatedWords, kRandLongLag, base.begin());
  // The value at `position` is r[position + 344]; the batch starts there, after the 31 words
  // before it, r[position + 313] = r[3 + position + 310] onwards.
  Residue coefficients = powerOfX(position + kDiscardedWords);
  for (size_t k = 0; k < kRandLongLag; ++k) {
    uint32_t word = 0;
    for (size_t j = 0; j < kRandLongLag; ++j) word += coefficients[j] * base[j];
    generator.words[k] = word;
    coefficients = timesX(coefficients);
  }
  extendWords(generator, kRandLongLag);
  generator.next = kRandLongLag;
}

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

#include "crand/c_random.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

using crand::CRandom;
using crand::kRandCheckedValues;
using crand::libraryRand;
using crand::nextCRandom;
using crand::seedCheckedCRandom;

std::vector<int> libraryValues(unsigned seed, int count) {
  std::srand(seed);
  std::vector<int> values;
  for (int i = 0; i < count; ++i) values.push_back(std::rand());
  return values;
}

// Several batches of words, so that refills are compared too.
constexpr int kComparedValues = 5000;

TEST(CRandom, GivesTheLibrarysValuesForEverySeed) {
  // Small seeds and the seeding step's constants, seeds around the sign bit of a word, the
  // largest, and clock readings.
  const auto now = static_cast<uint32_t>(std::time(nullptr));
  const uint32_t seeds[] = {0,           1,          2,           16807,       127773,
                            0x7FFFFFFE,  0x7FFFFFFF, 0x80000000u, 0x80000001u, 0xFFFFFFFEu,
                            0xFFFFFFFFu, 1262304000, 1700000000,  now};
  for (const uint32_t seed : seeds) {
    const std::vector<int> expected = libraryValues(seed, kComparedValues);
    CRandom generator;
    crand::seedCRandom(generator, seed);
    for (int i = 0; i < kComparedValues; ++i) {
      ASSERT_EQ(expected[static_cast<size_t>(i)], nextCRandom(generator))
          << "seed " << seed << ", value " << i;
    }
  }
}

// The value of rand() at a position (0 for the first call) after srand of a seed, taken up there
// directly. Near positions whose count needs more than 31 or 32 bits, the library's values were
// read once by calling rand() that many times (some minutes); the nearer ones are read live.
struct ValueAt {
  uint32_t seed;
  uint64_t position;
  int value;  // -1: the library's own, read live
};

TEST(SeedCRandomAt, GivesTheLibrarysValueAtEveryPosition) {
  const ValueAt cases[] = {
      {0, 0, -1},
      {0, 1, -1},
      {0, 30, -1},
      {0, 31, -1},
      {0, 32, -1},
      {0, 343, -1},
      {0, 1000000, -1},
      {0, 52428798, -1},
      {0, 104857597, -1},
      {1, 0, -1},
      {1, 31, -1},
      {0x80000001u, 343, -1},
      {0xFFFFFFFFu, 32, -1},
      {1700000000, 1000000, -1},
      {1700000000, 52428798, -1},
      {0, 2147483646, 377605215},
      {0, 2147483647, 52479496},
      {0, 2147483648u, 850182889},
      {0, 2147483649u, 2103788022},
      {1700000000, 2147483646, 1364787765},
      {1700000000, 2147483647, 1546493657},
      {1700000000, 2147483648u, 1147176474},
      {1700000000, 2147483649u, 578008326},
  };
  // The library is walked once per seed: rows of a seed come in growing positions.
  uint32_t walkedSeed = 0;
  uint64_t walked = UINT64_MAX;  // the position of the library's next value
  for (const ValueAt& c : cases) {
    int expected = c.value;
    if (expected < 0) {
      if (c.seed != walkedSeed || walked > c.position) {
        std::srand(c.seed);
        walkedSeed = c.seed;
        walked = 0;
      }
      for (; walked < c.position; ++walked) std::rand();
      expected = std::rand();
      ++walked;
    }
    CRandom generator;
    crand::seedCRandomAt(generator, c.seed, c.position);
    EXPECT_EQ(expected, nextCRandom(generator)) << "seed " << c.seed << ", position " << c.position;
    // And on from there, across a refill.
    for (int i = 0; c.value < 0 && i < 2000; ++i, ++walked) {
      ASSERT_EQ(std::rand(), nextCRandom(generator))
          << "seed " << c.seed << ", position " << walked;
    }
  }
}

TEST(SeedCheckedCRandom, TrustsTheGeneratorAndLeavesBothAtTheSeed) {
  const std::vector<int> expected = libraryValues(41, 3);
  std::rand();  // the check must seed the library again, not go on from here
  CRandom generator;
  ASSERT_TRUE(seedCheckedCRandom(generator, 41, libraryRand()));
  for (const int value : expected) {
    EXPECT_EQ(value, std::rand());
    EXPECT_EQ(value, nextCRandom(generator));
  }
}

// Stand-ins that disagree with the library: one at the last value checked, one everywhere.
int drawsSinceSeed = 0;
void seedCounting(unsigned seed) {
  std::srand(seed);
  drawsSinceSeed = 0;
}
int randWrongAtLastCheckedValue() {
  const int value = std::rand();
  return ++drawsSinceSeed == kRandCheckedValues ? value ^ 1 : value;
}
int randMirrored() { return RAND_MAX - std::rand(); }

TEST(SeedCheckedCRandom, RefusesAGeneratorThatDisagreesWithTheReference) {
  CRandom generator;
  EXPECT_FALSE(seedCheckedCRandom(generator, 5, {seedCounting, randWrongAtLastCheckedValue}));
  EXPECT_EQ(0, drawsSinceSeed);  // the reference was seeded again
  EXPECT_FALSE(seedCheckedCRandom(generator, 5, {seedCounting, randMirrored}));
  EXPECT_EQ(libraryValues(5, 1)[0], nextCRandom(generator));  // and so was the generator
}

}  // namespace

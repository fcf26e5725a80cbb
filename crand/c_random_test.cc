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

// The values drawn are the reference's either way: inline when the generator agrees, from the
// reference itself when not.
TEST(DrawRandSequence, GivesTheReferencesValuesInlineOrFromTheReference) {
  const std::vector<int> expected = libraryValues(9, kComparedValues);
  std::vector<int> drawn;
  const auto drawAll = [&drawn](auto next) {
    for (int i = 0; i < kComparedValues; ++i) drawn.push_back(next());
  };
  EXPECT_TRUE(crand::drawRandSequence(9, libraryRand(), drawAll));
  EXPECT_EQ(expected, drawn);

  std::vector<int> mirrored;
  for (const int value : expected) mirrored.push_back(RAND_MAX - value);
  drawn.clear();
  EXPECT_FALSE(crand::drawRandSequence(9, {seedCounting, randMirrored}, drawAll));
  EXPECT_EQ(mirrored, drawn);
}

}  // namespace

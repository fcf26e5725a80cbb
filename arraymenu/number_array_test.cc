#include "arraymenu/number_array.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "tests/redirect.h"

namespace {

// The values the array must hold, computed here from the C library's generator directly, or
// from `next` when given.
std::vector<double> expectedValues(uint32_t size, int (*next)() = rand) {
  std::vector<double> values;
  srand(0);
  for (uint32_t i = 0; i < size; ++i) {
    const int fraction = next() % 1000;
    const int whole = next() % 1000;
    values.push_back(whole + fraction / 1000.0);
  }
  return values;
}

std::vector<double> contents(const NumberArray& numbers) {
  return std::vector<double>(numbers.elements, numbers.elements + numbers.size());
}

NumberArray created(uint32_t size) {
  Redirect io("");
  NumberArray numbers;
  EXPECT_TRUE(numbers.create(size));
  return numbers;
}

TEST(Create, FillsFromTheGeneratorSeededWithZero) {
  Redirect io("");
  NumberArray numbers;
  ASSERT_TRUE(numbers.create(1000));
  EXPECT_EQ("Massiv sozdan\n\n", io.out.str());
  EXPECT_EQ("", io.err.str());
  EXPECT_EQ(1000u, numbers.size());
  EXPECT_EQ(expectedValues(1000), contents(numbers));
  numbers.release();
}

// A reference the inline generator disagrees with is drawn from itself.
TEST(Create, FillsFromTheReferenceWhenTheInlineGeneratorDisagrees) {
  const auto mirroredRand = [] { return RAND_MAX - rand(); };
  Redirect io("");
  NumberArray numbers;
  ASSERT_TRUE(
      numbers.create(1000, UINT64_MAX, 1, {[](unsigned seed) { srand(seed); }, mirroredRand}));
  EXPECT_EQ("Massiv sozdan\n\n", io.out.str());
  EXPECT_EQ(expectedValues(1000, mirroredRand), contents(numbers));
  numbers.release();
}

TEST(Create, FirstValuesByHand) {
  // glibc's generator after srand(0) starts 1804289383, 846930886, 1681692777, 1714636915.
  NumberArray numbers = created(2);
  EXPECT_EQ(886.383, numbers.elements[0]);
  EXPECT_EQ(915.777, numbers.elements[1]);
  numbers.release();
}

TEST(Create, SameSizeGivesSameValues) {
  NumberArray a = created(500);
  rand();  // the generator moves on between the two creations
  NumberArray b = created(500);
  EXPECT_EQ(contents(a), contents(b));
  a.release();
  b.release();
}

TEST(Create, ValuesAreWholeThousandthsFromZeroTo999999) {
  NumberArray numbers = created(100000);
  for (double value : contents(numbers)) {
    ASSERT_GE(value, 0.0);
    ASSERT_LE(value, 999.999);
    const double thousandths = std::round(value * 1000.0);
    ASSERT_EQ(value, std::floor(thousandths / 1000) + std::fmod(thousandths, 1000.0) / 1000.0);
  }
  numbers.release();
}

// Each thread takes the generator up where its part starts: the values are those of one.
TEST(Create, SameValuesWhateverTheWorkers) {
  const std::vector<double> expected = expectedValues(300007);
  for (const unsigned workers : {1u, 2u, 3u, 8u}) {
    Redirect io("");
    NumberArray numbers;
    ASSERT_TRUE(numbers.create(300007, UINT64_MAX, workers));
    EXPECT_TRUE(expected == contents(numbers)) << workers << " workers";
  }
}

TEST(Create, SizeOneHoldsOneElement) {
  NumberArray numbers = created(1);
  EXPECT_EQ(1u, numbers.size());
  numbers.release();
}

TEST(AppendElement, AddsTheValueLastAndKeepsTheOthers) {
  NumberArray numbers = created(3);
  const std::vector<double> before = contents(numbers);
  Redirect io("");
  ASSERT_TRUE(numbers.appendElement(-2.5));
  ASSERT_TRUE(numbers.appendElement(7.0));
  EXPECT_EQ("Znacenie dobavleno\n\nZnacenie dobavleno\n\n", io.out.str());
  EXPECT_EQ(5u, numbers.size());
  std::vector<double> expected = before;
  expected.push_back(-2.5);
  expected.push_back(7.0);
  EXPECT_EQ(expected, contents(numbers));
  numbers.release();
}

// A block beyond the memory the machine has is refused before it is asked for: 10 elements
// take 80 bytes, 11 take 88.
TEST(MemoryLimit, RefusesABlockLargerThanTheMemoryGiven) {
  {
    Redirect io("");
    NumberArray numbers;
    // 11 doubles: 88 bytes and a header, 96, and the page table's 8 bytes.
    EXPECT_FALSE(numbers.create(11, 103, 1));
    EXPECT_EQ(0u, numbers.size());
    EXPECT_EQ("Nedostatochno pamyati\n", io.err.str());
    EXPECT_EQ("", io.out.str());
  }
  NumberArray numbers;
  {
    Redirect io("");
    ASSERT_TRUE(numbers.create(11, 104, 1));
  }
  const std::vector<double> before = contents(numbers);
  Redirect io("");
  EXPECT_FALSE(numbers.appendElement(1.5, 119));  // 96 + 8 -> 112, and 8
  EXPECT_EQ(before, contents(numbers));
  EXPECT_EQ("Nedostatochno pamyati\n", io.err.str());
  EXPECT_TRUE(numbers.appendElement(1.5, 120));
  EXPECT_EQ(12u, numbers.size());
  EXPECT_EQ("Znacenie dobavleno\n\n", io.out.str());
  numbers.release();
}

TEST(ChangeElement, ChangesOnlyTheNumberedElement) {
  NumberArray numbers = created(4);
  std::vector<double> expected = contents(numbers);
  Redirect io("");
  numbers.changeElement(1, 0.5);
  numbers.changeElement(4, -9.0);
  expected[0] = 0.5;
  expected[3] = -9.0;
  EXPECT_EQ(expected, contents(numbers));
  EXPECT_EQ("Znacenie izmeneno\n\nZnacenie izmeneno\n\n", io.out.str());
  numbers.release();
}

TEST(ChangeElement, ReachesAnAppendedElement) {
  NumberArray numbers = created(2);
  Redirect io("");
  ASSERT_TRUE(numbers.appendElement(1.0));
  numbers.changeElement(3, 2.0);
  EXPECT_EQ(2.0, numbers.elements[2]);
  numbers.release();
}

// The listing as a stream writes it line by line, to compare the block-wise listing with.
std::string literalListing(const std::vector<double>& values) {
  std::ostringstream os;
  for (size_t i = 0; i < values.size(); ++i) {
    os << static_cast<int>(i + 1) << std::setw(10) << values[i] << '\n';
  }
  os << '\n';
  return os.str();
}

TEST(PrintArray, ListsEveryElementOverSeveralBlocks) {
  NumberArray numbers = created(10007);  // several blocks, the last one partly filled
  {
    Redirect io("");
    numbers.changeElement(9000, 1234567.0);
    numbers.changeElement(10007, -0.0);
  }
  Redirect io("");
  printArray(numbers);
  EXPECT_EQ(literalListing(contents(numbers)), io.out.str());
  numbers.release();
}

// Lines formatted by several threads come out in order, as one thread writes them.
TEST(PrintArray, SameListingWhateverTheWorkers) {
  NumberArray numbers = created(100003);
  {
    Redirect io("");
    numbers.changeElement(70000, -1e300);
  }
  const std::string expected = literalListing(contents(numbers));
  for (const unsigned workers : {1u, 2u, 5u}) {
    Redirect io("");
    printArray(numbers, workers);
    EXPECT_TRUE(expected == io.out.str()) << workers << " workers";
  }
  numbers.release();
}

TEST(PrintArray, OneElementIsOneLineAndAnEmptyLine) {
  NumberArray numbers = created(1);
  Redirect io("");
  std::cout << "before ";
  printArray(numbers);
  EXPECT_EQ("before 1   886.383\n\n", io.out.str());
  numbers.release();
}

}  // namespace

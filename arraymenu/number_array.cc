#include "arraymenu/number_array.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iostream>
#include <utility>

#include "arraymenu/listing_format.h"
#include "console/ask/exit.h"
#include "console/system/memory_cost.h"
#include "console/system/system.h"
#include "crand/c_random.h"
#include "crand/thousandths.h"
#include "parallel/for_each_chunk.h"
#include "parallel/ordered_writer.h"
#include "parallel/pages.h"

namespace {

// Lines formatted per block written by one thread: 128 KiB of room, some 80 KiB of text per
// write, so that writing costs little beside formatting.
constexpr size_t kLinesPerBlock = 1 << 12;

// The block lies in the program's image, set aside when it starts: on the stack it would need
// the stack to grow, which fails, killing the process, once the array has taken the last of
// the address space the process may have.
char listingBlock[kLinesPerBlock * kListingLineRoom];

// Two values per element from `next`: the first decides the thousandths, the second the whole
// part.
template <typename Next>
void fillElements(double* elements, uint32_t count, Next next) {
  for (uint32_t i = 0; i < count; ++i) {
    // Two statements keep the order of the draws.
    const auto fraction = static_cast<uint32_t>(next()) % 1000;
    const auto whole = static_cast<uint32_t>(next()) % 1000;
    elements[i] = whole + crand::kThousandths[fraction];
  }
}

// Elements a thread fills at the least: fewer cost less than starting it.
constexpr size_t kLeastElementsPerThread = size_t{1} << 16;

// The values as drawn after srand(0), two per element. The inline generator is taken up at the
// start of each part a thread takes; the library's own rand can only be drawn in turn, by one
// thread.
void fillNumbers(double* elements, uint32_t count, crand::RandFunctions reference,
                 unsigned workers) {
  crand::CRandom checked;
  if (!crand::seedCheckedCRandom(checked, 0, reference)) {
    fillElements(elements, count, reference.next);
    return;
  }
  parallel::forEachChunk(count, kLeastElementsPerThread, workers, [&](size_t begin, size_t end) {
    parallel::takePages(elements + begin, (end - begin) * sizeof(double));
    crand::CRandom generator;
    crand::seedCRandomAt(generator, 0, 2 * uint64_t{begin});
    fillElements(elements + begin, static_cast<uint32_t>(end - begin),
                 [&generator] { return crand::nextCRandom(generator); });
  });
}

// A block larger than the system can give would be granted by an overcommitting system and the
// process killed once it is used; such a block is refused like a failed allocation. What it
// takes is counted as the kernel will count it, pages and page tables included.
bool fitsInMemory(size_t elementCount, uint64_t memoryBytes) {
  return console::arrayMemory(elementCount, sizeof(double)) <= memoryBytes;
}

}  // namespace

NumberArray::NumberArray(NumberArray&& other) noexcept
    : elements(std::exchange(other.elements, nullptr)), count(std::exchange(other.count, 0)) {}

NumberArray& NumberArray::operator=(NumberArray&& other) noexcept {
  if (this != &other) {
    release();
    elements = std::exchange(other.elements, nullptr);
    count = std::exchange(other.count, 0);
  }
  return *this;
}

NumberArray::~NumberArray() { release(); }

bool NumberArray::create(uint32_t size) {
  return create(size, console::memoryForBlock(0), console::availableCores());
}

bool NumberArray::create(uint32_t size, uint64_t memoryBytes, unsigned workers,
                         crand::RandFunctions reference) {
  release();
  // malloc rather than new[]: a failure is a null result to report, not an exception, and the
  // block can later grow in place.
  elements = fitsInMemory(size, memoryBytes)
                 ? static_cast<double*>(std::malloc(size * sizeof(double)))
                 : nullptr;
  if (elements == nullptr) {
    count = 0;
    console::reportOutOfMemory();
    return false;
  }
  count = size;
  fillNumbers(elements, count, reference, workers);
  std::cout << "Massiv sozdan" << std::endl << std::endl;
  return true;
}

bool NumberArray::appendElement(double value, uint64_t memoryBytes) {
  // realloc keeps the old block intact when it fails, and grows a large block in place
  // without copying it. The block holds exactly the elements, no spare room.
  const size_t newCount = size_t{count} + 1;
  void* grown = newCount > UINT32_MAX || !fitsInMemory(newCount, memoryBytes)
                    ? nullptr
                    : std::realloc(elements, newCount * sizeof(double));
  if (grown == nullptr) {
    console::reportOutOfMemory();
    return false;
  }
  elements = static_cast<double*>(grown);
  elements[count] = value;
  ++count;
  std::cout << "Znacenie dobavleno" << std::endl << std::endl;
  return true;
}

bool NumberArray::appendElement(double value) {
  // Most appends stay within the pages the block has: only one that reaches into a new page
  // asks the system, whose files take far longer to read than the append itself.
  const uint64_t heldBytes = console::arrayMemory(count, sizeof(double));
  const bool grows =
      console::needsNewPages(heldBytes, console::arrayMemory(size_t{count} + 1, sizeof(double)));
  return appendElement(value, grows ? console::memoryForBlock(heldBytes) : UINT64_MAX);
}

void NumberArray::changeElement(int32_t number, double value) {
  elements[number - 1] = value;
  std::cout << "Znacenie izmeneno" << std::endl << std::endl;
}

void NumberArray::release() {
  std::free(elements);
  elements = nullptr;
  count = 0;
}

uint32_t NumberArray::size() const { return count; }

void printArray(const NumberArray& numbers) { printArray(numbers, console::availableCores()); }

void printArray(const NumberArray& numbers, unsigned workers) {
  std::streambuf* out = std::cout.rdbuf();
  // Whatever is pending in the stream goes first, then the text in large pieces.
  std::cout.flush();
  const double* values = numbers.elements;
  const bool wrote = parallel::writeInOrder(
      numbers.count, kListingLineRoom, workers, listingBlock,
      [values](size_t begin, size_t end, char* text) {
        return formatListingLines(text, values + begin, end - begin,
                                  static_cast<uint32_t>(begin + 1));
      },
      [out](const char* text, size_t length) {
        const auto size = static_cast<std::streamsize>(length);
        return out->sputn(text, size) == size;
      });
  if (!wrote) std::cout.setstate(std::ios_base::badbit);  // a failed write; the dialogue stops
  std::cout << std::endl;
}

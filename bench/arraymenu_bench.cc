// The largest array (52428799 elements) through creation, listing to /dev/null and to a file,
// and one append, each with the peak resident memory while it ran; beside them a listing of
// 1000000 elements written the plain way (stream formatting, std::endl per line) and the same
// elements through printArray, to compare the rates per element. The floors of creation: the
// generator alone (the library's rand and the inline copy) and the first touch of the block.
// The label of the creation tells the generator that served it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <string>

#include "arraymenu/number_array.h"
#include "bench/process_memory.h"
#include "console/system/system.h"
#include "crand/c_random.h"

namespace {

constexpr uint32_t kLiteralSize = 1000000;
const char* const kListingFile = "/tmp/arraymenu_bench_listing.txt";

// Sends std::cout into a file while alive; the creation and append messages go there too.
struct CoutToFile {
  explicit CoutToFile(const char* path) {
    file.open(path, std::ios_base::out | std::ios_base::trunc);
    old = std::cout.rdbuf(&file);
  }
  ~CoutToFile() { std::cout.rdbuf(old); }
  CoutToFile(const CoutToFile&) = delete;
  CoutToFile& operator=(const CoutToFile&) = delete;
  std::filebuf file;
  std::streambuf* old;
};

// A field in KiB of a /proc file of this process (Linux), in MiB.
double statusMiB(const std::string& field) { return procMiB("/proc/self/status", field); }

// The values drawn when the array is created.
constexpr uint32_t kLargestDraws = 2 * kMaxArraySize;

// Which generator serves seed 0 on this run: the check the creation makes.
const char* generatorName() {
  crand::CRandom generator;
  return crand::seedCheckedCRandom(generator, 0, crand::libraryRand()) ? "inline" : "rand()";
}

// The first element where `numbers` differs from the values the C library's rand gives for
// them, or its count when none does.
uint32_t firstDifferenceFromRand(const NumberArray& numbers) {
  srand(0);
  for (uint32_t i = 0; i < numbers.size(); ++i) {
    const double fraction = static_cast<double>(rand() % 1000) / 1000.0;
    const int whole = rand() % 1000;
    if (numbers.elements[i] != whole + fraction) return i;
  }
  return numbers.size();
}

void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Runs `step` once per iteration and reports the peak resident memory while it ran, and how
// far that peak lay above the memory held just before.
template <typename Step>
void measure(benchmark::State& state, uint32_t elements, Step step) {
  resetPeakMemory();
  const double before = statusMiB("VmRSS:");
  for (auto _ : state) step(state);
  const double peak = statusMiB("VmHWM:");
  state.counters["peak_MiB"] = peak;
  state.counters["above_start_MiB"] = peak - before;
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * elements);
}

NumberArray createdQuietly(uint32_t size) {
  CoutToFile quiet("/dev/null");
  NumberArray created;
  if (!created.create(size)) std::abort();
  return created;
}

// The largest array, created once and shared by the listings and the append.
NumberArray& largestArray() {
  static NumberArray numbers = createdQuietly(kMaxArraySize);
  return numbers;
}

// Creation, then a check of every element against the library's rand outside the time.
void BM_CreateLargest(benchmark::State& state) {
  CoutToFile quiet("/dev/null");
  measure(state, kMaxArraySize, [](benchmark::State& s) {
    NumberArray numbers;
    if (!numbers.create(kMaxArraySize)) s.SkipWithError("no memory");
    benchmark::DoNotOptimize(numbers.elements);
    s.PauseTiming();
    s.SetLabel(generatorName());
    if (firstDifferenceFromRand(numbers) != numbers.size()) s.SkipWithError("differs from rand()");
    numbers.release();
    s.ResumeTiming();
  });
}
BENCHMARK(BM_CreateLargest)->Unit(benchmark::kMillisecond)->Iterations(1);

// The floor of the generator: the values of the largest creation from the library's rand, and
// from the inline copy, which is then checked value by value against rand outside the time.
void BM_LibraryRandLargest(benchmark::State& state) {
  for (auto _ : state) {
    srand(0);
    uint32_t sum = 0;
    for (uint32_t i = 0; i < kLargestDraws; ++i) sum += static_cast<uint32_t>(rand());
    benchmark::DoNotOptimize(sum);
  }
  state.SetLabel("rand()");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kLargestDraws);
}
BENCHMARK(BM_LibraryRandLargest)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_InlineRandLargest(benchmark::State& state) {
  for (auto _ : state) {
    crand::CRandom generator;
    crand::seedCRandom(generator, 0);
    uint32_t sum = 0;
    for (uint32_t i = 0; i < kLargestDraws; ++i) {
      sum += static_cast<uint32_t>(crand::nextCRandom(generator));
    }
    benchmark::DoNotOptimize(sum);
    state.PauseTiming();
    crand::seedCRandom(generator, 0);
    srand(0);
    for (uint32_t i = 0; i < kLargestDraws; ++i) {
      if (crand::nextCRandom(generator) != rand()) {
        state.SkipWithError("differs from rand()");
        break;
      }
    }
    state.ResumeTiming();
  }
  state.SetLabel("inline");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kLargestDraws);
}
BENCHMARK(BM_InlineRandLargest)->Unit(benchmark::kMillisecond)->Iterations(1);

// The floor of the first touch: a block of the largest array's size, written once.
void BM_TouchLargestBlock(benchmark::State& state) {
  constexpr size_t kBytes = size_t{kMaxArraySize} * sizeof(double);
  measure(state, kMaxArraySize, [](benchmark::State& s) {
    void* block = std::malloc(kBytes);
    if (block == nullptr) s.SkipWithError("no memory");
    std::memset(block, 0x5a, kBytes);
    benchmark::DoNotOptimize(block);
    s.PauseTiming();
    std::free(block);
    s.ResumeTiming();
  });
}
BENCHMARK(BM_TouchLargestBlock)->Unit(benchmark::kMillisecond)->Iterations(1);

// Creation the literal way: array allocation and the same two calls per element.
void BM_LiteralCreateMillion(benchmark::State& state) {
  measure(state, kLiteralSize, [](benchmark::State&) {
    auto* elements = new double[kLiteralSize];
    srand(0);
    for (uint32_t i = 0; i < kLiteralSize; ++i) {
      const double fraction = static_cast<double>(rand() % 1000) / 1000.0;
      elements[i] = rand() % 1000 + fraction;
    }
    benchmark::DoNotOptimize(elements);
    delete[] elements;
  });
}
BENCHMARK(BM_LiteralCreateMillion)->Unit(benchmark::kMillisecond)->Iterations(1);

void listTo(benchmark::State& state, const char* path, uint32_t elements) {
  const NumberArray numbers = createdQuietly(elements);
  CoutToFile out(path);
  measure(state, elements, [&](benchmark::State&) { printArray(numbers); });
}

void BM_PrintLargestToDevNull(benchmark::State& state) {
  listTo(state, "/dev/null", kMaxArraySize);
}
BENCHMARK(BM_PrintLargestToDevNull)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PrintLargestToTmpFile(benchmark::State& state) {
  // Starts from a new file with no dirty pages of earlier writes waiting, which the kernel
  // would otherwise make this writer pay for.
  std::remove(kListingFile);
  sync();
  listTo(state, kListingFile, kMaxArraySize);
  std::remove(kListingFile);
}
BENCHMARK(BM_PrintLargestToTmpFile)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PrintMillionToDevNull(benchmark::State& state) { listTo(state, "/dev/null", kLiteralSize); }
BENCHMARK(BM_PrintMillionToDevNull)->Unit(benchmark::kMillisecond)->Iterations(3);

// The listing written the plain way: stream formatting and a flush for every line.
void literalPrintArray(const NumberArray& numbers) {
  for (uint32_t i = 0; i < numbers.size(); ++i) {
    std::cout << static_cast<int>(i + 1) << std::setw(10) << numbers.elements[i] << std::endl;
  }
  std::cout << std::endl;
}

void BM_LiteralPrintMillionToDevNull(benchmark::State& state) {
  const NumberArray numbers = createdQuietly(kLiteralSize);
  CoutToFile out("/dev/null");
  measure(state, kLiteralSize, [&](benchmark::State&) { literalPrintArray(numbers); });
}
BENCHMARK(BM_LiteralPrintMillionToDevNull)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_AppendAtLargest(benchmark::State& state) {
  NumberArray& numbers = largestArray();
  CoutToFile quiet("/dev/null");
  measure(state, 1, [&](benchmark::State& s) {
    if (!numbers.appendElement(1.5)) s.SkipWithError("no memory");
  });
}
BENCHMARK(BM_AppendAtLargest)->Unit(benchmark::kMillisecond)->Iterations(1);

// An append the literal way: a new block one larger, a copy, the old block released.
void BM_LiteralAppendAtLargest(benchmark::State& state) {
  NumberArray& numbers = largestArray();
  measure(state, 1, [&](benchmark::State&) {
    auto* grown = new double[size_t{numbers.size()} + 1];
    std::copy(numbers.elements, numbers.elements + numbers.size(), grown);
    grown[numbers.size()] = 1.5;
    benchmark::DoNotOptimize(grown);
    delete[] grown;
  });
}
BENCHMARK(BM_LiteralAppendAtLargest)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();

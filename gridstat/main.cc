// gridstat: asks for the shape of a matrix, prints it filled with random values, then its mean
// and sample variance, and waits for a key.
#include <iostream>
#include <string_view>

#include "console/console.h"
#include "gridstat/dimensions.h"
#include "gridstat/matrix_tool.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: gridstat [--help | --version]\n"
    "Matrix statistics: asks for a number of rows and of columns, prints a matrix of that shape\n"
    "filled with pseudo-random values from 0 to 9.999, then the mean and the sample variance of\n"
    "its cells, and waits for one key.\n"
    "Prompts go to standard output; the answers are read from standard input.\n"
    "\n"
    "Exit status:\n"
    "   0  the statistics were printed and a key was pressed (or input ended)\n"
    "   2  standard input ended before both counts were read\n"
    "   3  the matrix cannot be held in memory\n"
    "   4  reading standard input or writing standard output failed\n"
    "  64  an argument was not recognized\n"
    "\n"
    "See man gridstat\n";

}  // namespace

int main(int argc, char* argv[]) {
  console::init();
  console::takeArguments(argc, argv, "gridstat", kUsage);
  std::cin.exceptions(std::ios_base::failbit);
  int M = 0;
  int N = 0;
  if (!inputDimensions(&M, &N)) console::exitAtStreamEnd();

  MatrixTool obj;
  float** mas = obj.createMatrix(M, N);
  if (mas == nullptr) {
    std::cerr << "Nedostatochno pamyati" << std::endl;
    console::exitProgram(console::kStatusOutOfMemory);
  }
  obj.printStatistics(mas, M, N);
  obj.releaseMatrix(mas, M, N);
  if (!console::waitForKey()) console::exitAtStreamEnd();
  console::exitProgram(0);
}

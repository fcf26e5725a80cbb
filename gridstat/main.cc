// gridstat: asks for the shape of a matrix, prints it filled with random values, then its mean
// and sample variance, and waits for a key.
#include <iostream>

#include "console/ask/arguments.h"
#include "console/ask/exit.h"
#include "console/ask/input.h"
#include "console/ask/screen.h"
#include "gridstat/dimensions.h"
#include "gridstat/matrix_tool.h"

namespace {

const console::Usage kUsage{
    .description =
        "Matrix statistics: asks for a number of rows and of columns, prints a matrix\n"
        "of that shape filled with pseudo-random values from 0 to 9.999, then the mean\n"
        "and the sample variance of its cells, and waits for one key.\n",
    .statuses =
        "   0  the statistics were printed and a key was pressed (or input ended)\n"
        "   2  standard input ended before both counts were read\n"
        "   3  the matrix cannot be held in memory\n",
};

}  // namespace

int main(int argc, char* argv[]) try {
  console::init();
  console::takeArguments(argc, argv, "gridstat", kUsage);
  std::cin.exceptions(std::ios_base::failbit);
  int rows = 0;
  int columns = 0;
  if (!inputDimensions(&rows, &columns)) console::exitAtStreamEnd();

  const MatrixTool matrixTool;
  Matrix matrix;
  if (!matrixTool.createMatrix(matrix, rows, columns)) {
    console::reportOutOfMemory();
    console::exitProgram(console::kStatusOutOfMemory);
  }
  matrixTool.printStatistics(matrix);
  matrixTool.releaseMatrix(matrix);
  if (!console::waitForKey()) console::exitAtStreamEnd();
  console::exitProgram(0);
} catch (...) {
  return console::exitStatusOfCaught();
}

// gridstat done the literal way, for the benchmarks only: a row table and one array
// allocation per row, the C library's srand and rand, a division per cell, std::setw(6) per
// cell and std::endl per row. The dimension dialogue, the statistics (whose float accumulators
// of the literal way would print other digits) and the key wait are the program's own.
#include <cstdlib>
#include <ctime>
#include <iomanip>
#include <iostream>

#include "console/ask/exit.h"
#include "console/ask/input.h"
#include "console/ask/screen.h"
#include "gridstat/dimensions.h"
#include "gridstat/matrix_tool.h"
#include "gridstat/statistics.h"

int main() try {
  console::init();
  std::cin.exceptions(std::ios_base::failbit);
  int rows = 0;
  int columns = 0;
  if (!inputDimensions(&rows, &columns)) console::exitAtStreamEnd();
  auto** matrix = new float*[static_cast<size_t>(rows)];
  for (int i = 0; i < rows; ++i) matrix[i] = new float[static_cast<size_t>(columns)];
  std::cout << "zadan massiv" << std::endl;
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) {
      matrix[i][j] = static_cast<float>(std::rand() % 10000 / 1000.0);
      std::cout << std::setw(6) << matrix[i][j];
    }
    std::cout << std::endl;
  }
  writeStatistics(std::cout, computeStatistics(matrix, rows, columns));
  for (int i = 0; i < rows; ++i) delete[] matrix[i];
  delete[] matrix;
  if (!console::waitForKey()) console::exitAtStreamEnd();
  console::exitProgram(0);
} catch (...) {
  return console::exitStatusOfCaught();
}

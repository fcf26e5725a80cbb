// gridstat: asks for the shape of a matrix, prints it filled with random values, then its mean
// and sample variance, and waits for a key.
#include <iostream>

#include "console/console.h"
#include "gridstat/dimensions.h"
#include "gridstat/matrix_tool.h"

int main() {
  console::init();
  std::cin.exceptions(std::ios_base::failbit);
  int M = 0;
  int N = 0;
  if (!inputDimensions(&M, &N)) console::exitAtEndOfInput();

  MatrixTool obj;
  float** mas = obj.createMatrix(M, N);
  if (mas == nullptr) {
    std::cerr << "Nedostatochno pamyati" << std::endl;
    return 3;
  }
  obj.printStatistics(mas, M, N);
  obj.releaseMatrix(mas, M, N);
  console::waitForKey();
  std::cout.flush();
  return 0;
}

#include "gridstat/dimensions.h"

#include <iostream>

#include "console/console.h"

bool inputDimensions(int* M, int* N) {
  return console::askUntilAccepted("Vvedite tolko chisla!", [M, N] {
    std::cout << "Vvedite kol-vo stroc" << std::endl;
    console::readValue(*M);
    std::cout << std::endl << "Vvedite kol-vo stolbcov" << std::endl;
    console::readValue(*N);
    std::cout << std::endl;
    if (*M > 0 && *N > 0) return true;
    std::cout << std::endl << "Nugni chisla > 0" << std::endl;
    return false;
  });
}

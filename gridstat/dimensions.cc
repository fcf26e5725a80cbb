#include "gridstat/dimensions.h"

#include <iostream>
#include <limits>

bool inputDimensions(int* M, int* N) {
  for (;;) {
    try {
      std::cout << "Vvedite kol-vo stroc" << std::endl;
      std::cin >> *M;
      std::cout << std::endl << "Vvedite kol-vo stolbcov" << std::endl;
      std::cin >> *N;
      std::cout << std::endl;
      if (*M > 0 && *N > 0) return true;
      std::cout << std::endl << "Nugni chisla > 0" << std::endl;
    } catch (const std::ios_base::failure&) {
      // At end of input every further read fails at once: clearing and retrying would loop.
      if (std::cin.eof()) return false;
      std::cerr << "Vvedite tolko chisla!" << std::endl;
      std::cin.clear();
      std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
  }
}

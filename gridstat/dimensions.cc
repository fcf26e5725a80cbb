#include "gridstat/dimensions.h"

#include <iostream>

#include "console/prompt.h"

bool inputDimensions(int* rows, int* columns) {
  return console::askUntilAccepted("Vvedite tolko chisla!", [rows, columns] {
    std::cout << "Vvedite kol-vo stroc" << std::endl;
    console::readValue(*rows);
    std::cout << std::endl << "Vvedite kol-vo stolbcov" << std::endl;
    console::readValue(*columns);
    std::cout << std::endl;
    if (*rows > 0 && *columns > 0) return true;
    std::cout << std::endl << "Nugni chisla > 0" << std::endl;
    return false;
  });
}

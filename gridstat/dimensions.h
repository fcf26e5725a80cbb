// The dialogue that asks for the shape of the matrix.
#ifndef GRIDSTAT_DIMENSIONS_H_
#define GRIDSTAT_DIMENSIONS_H_

/// Asks on standard output for the row count ("Vvedite kol-vo stroc"), then the column count
/// ("Vvedite kol-vo stolbcov"), both read from `std::cin` as int, until both are positive; a
/// count of 0 or less gets "Nugni chisla > 0", text that is no number or does not fit an int
/// gets "Vvedite tolko chisla!" on standard error and the rest of its line dropped; either way
/// both are asked again. Expects `std::cin` to throw on failure. Fills `rows` and `columns` and
/// returns true; returns false, asking no more, once the dialogue has stopped (standard input ended
/// or failed, or standard output failed).
bool inputDimensions(int* rows, int* columns);

#endif  // GRIDSTAT_DIMENSIONS_H_

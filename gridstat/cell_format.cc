#include "gridstat/cell_format.h"

#include "crand/thousandths.h"

namespace {

CellTable buildCellTable() {
  CellTable table{};
  for (int k = 0; k < kCellValues; ++k) {
    table.value[static_cast<size_t>(k)] = cellValue(k);
    table.field[static_cast<size_t>(k)] = cellField(k);
  }
  return table;
}

}  // namespace

float cellValue(int k) { return static_cast<float>(crand::kThousandths[static_cast<size_t>(k)]); }

CellField cellField(int k) {
  // The float nearest k / 1000 is within 5e-8 of it relative, far inside the six significant
  // digits written, so the field is the decimal k / 1000 itself.
  char digits[kFieldWidth];
  size_t length = 0;
  digits[length++] = static_cast<char>('0' + k / 1000);
  int fraction = k % 1000;
  if (fraction != 0) {
    digits[length++] = '.';
    for (int scale = 100; fraction != 0; scale /= 10) {
      digits[length++] = static_cast<char>('0' + fraction / scale);
      fraction %= scale;
    }
  }
  CellField field;
  field.fill(' ');
  for (size_t i = 0; i < length; ++i) field[kFieldWidth - length + i] = digits[i];
  return field;
}

const CellTable& cellTable() {
  static const CellTable table = buildCellTable();
  return table;
}

uint32_t seedFromTime(int64_t seconds) { return static_cast<uint32_t>(seconds); }

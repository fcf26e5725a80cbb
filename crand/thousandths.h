// A draw of the generator modulo 1000 or 10000 is shown as a number of thousandths: k / 1000.0.
// Both programs look the quotient up instead of dividing, one table for both.
#ifndef CRAND_THOUSANDTHS_H_
#define CRAND_THOUSANDTHS_H_

#include <array>
#include <cstddef>

namespace crand {

/// k / 1000.0 in double precision for k from 0 to 9999, each divided as the formula divides it.
inline constexpr std::array<double, 10000> kThousandths = [] {
  std::array<double, 10000> thousandths{};
  for (size_t k = 0; k < thousandths.size(); ++k) thousandths[k] = static_cast<double>(k) / 1000.0;
  return thousandths;
}();

}  // namespace crand

#endif  // CRAND_THOUSANDTHS_H_

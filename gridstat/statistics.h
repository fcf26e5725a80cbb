// The mean and the sample variance of all cells of a matrix.
#ifndef GRIDSTAT_STATISTICS_H_
#define GRIDSTAT_STATISTICS_H_

/// The two results, kept and printed in single precision.
struct MatrixStatistics {
  float mean;
  float variance;  // sample variance, divisor `rows` * `columns` - 1; NaN for a single cell
};

/// Computes the mean and the sample variance of the `rows` x `columns` cells of `matrix`, both
/// counts positive: two passes in double precision, the second around the double mean, each
/// result then rounded to float. Up to `workers` threads sum the rows; the rows' sums are added
/// in row order, so that the results are those of one thread to the last bit.
MatrixStatistics computeStatistics(const float* const* matrix, int rows, int columns,
                                   unsigned workers = 1);

#endif  // GRIDSTAT_STATISTICS_H_

// The mean and the sample variance of all cells of a matrix.
#ifndef GRIDSTAT_STATISTICS_H_
#define GRIDSTAT_STATISTICS_H_

/// The two results, kept and printed in single precision.
struct MatrixStatistics {
  float mean;
  float variance;  // sample variance, divisor M * N - 1; NaN for a single cell
};

/// Computes the mean and the sample variance of the M x N cells of `mas` (M, N > 0): two passes
/// in double precision, the second around the double mean, each result then rounded to float.
MatrixStatistics computeStatistics(const float* const* mas, int M, int N);

#endif  // GRIDSTAT_STATISTICS_H_

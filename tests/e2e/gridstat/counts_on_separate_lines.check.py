"""Recomputes this case's matrix, seed and statistics independently."""
import matrix_check

matrix_check.main()

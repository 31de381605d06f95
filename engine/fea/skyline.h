#pragma once

#include <functional>
#include <span>

/// Active-column (skyline) storage of a symmetric matrix and its in-place LDL^T solution.
///
/// Layout: column j occupies values[diag[j]] .. values[diag[j + 1] - 1]; values[diag[j]] is the
/// diagonal K(j, j) and values[diag[j] + k] is K(j - k, j) for k = 1 .. height(j). So diag has
/// at least neq + 1 entries, diag[0] = 0, and the stored length is diag[neq]. After factorize the
/// diagonal places hold D(j) and the column entries the factors L(j - k, j).
namespace skyline {

/// Smallest pivot accepted as it is; smaller or negative pivots are reported and replaced.
inline constexpr double PivotLimit = 1e-99;

/// Called for every pivot <= PivotLimit with the equation (from 0) and the pivot as computed,
/// before it is replaced (an exact zero by 1e99, a negative pivot by its absolute value).
using PivotObserver = std::function<void(int equation, double pivot)>;

/// Factorises the matrix in place. Columns of one node (equal column tops) are reduced in pairs
/// so that each factor column is read once for both; dot products use several vector
/// accumulators in double precision.
void factorize(std::span<double> values, std::span<const int> diag, int neq,
               const PivotObserver& onSmallPivot);

/// Solves with a factorised matrix: rhs is replaced by the solution.
void solve(std::span<const double> values, std::span<const int> diag, int neq,
           std::span<double> rhs);

} // namespace skyline

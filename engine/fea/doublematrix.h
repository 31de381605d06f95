#pragma once

#include <vector>

/// Small dense matrix of doubles for element-level algebra (at most 28 x 28). Elements are
/// stored row by row and owned by the matrix; the shape is fixed at construction. Every access
/// and every shape-dependent operation is checked: a failed check prints its message on standard
/// output and ends the program with exit status 1.
class DoubleMatrix {
public:
    /// A rows x columns matrix with every element 0.0.
    DoubleMatrix(int rows, int columns);

    DoubleMatrix(const DoubleMatrix&) = delete;
    DoubleMatrix& operator=(const DoubleMatrix&) = delete;

    int rows() const { return rows_; }
    int columns() const { return columns_; }

    void set(int row, int column, double value);
    double get(int row, int column) const;

    /// Multiplies every element by factor, in place.
    void scale(double factor);

    /// C += A * B, the sum over k taken in increasing k and added to C(i, j) one term at a time.
    /// A is r x k and B is k x c; C is expected to be r x c.
    static void multiplyAccumulate(DoubleMatrix& c, const DoubleMatrix& a, const DoubleMatrix& b);

    /// Writes the transpose of A into B, which must have the shape of A transposed.
    static void transpose(const DoubleMatrix& a, DoubleMatrix& b);

    /// Element-by-element sum; both matrices must have the same shape.
    DoubleMatrix& operator+=(const DoubleMatrix& other);

private:
    [[noreturn]] static void fail(const char* message);
    bool inside(int row, int column) const {
        return row >= 0 && row < rows_ && column >= 0 && column < columns_;
    }

    int rows_;
    int columns_;
    std::vector<double> elements_;
};

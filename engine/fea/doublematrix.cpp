#include "fea/doublematrix.h"

#include <cstdio>
#include <cstdlib>

DoubleMatrix::DoubleMatrix(int rows, int columns)
    : rows_(rows), columns_(columns),
      elements_(static_cast<std::size_t>(rows > 0 && columns > 0 ? rows * columns : 0), 0.0) {}

void DoubleMatrix::fail(const char* message) {
    // A failed check is a programming error inside the engine: report it and stop with a failure
    // status so that a caller waiting on the process does not take it for a completed run.
    std::fputs(message, stdout);
    std::fflush(nullptr);
    std::exit(1);
}

void DoubleMatrix::set(int row, int column, double value) {
    if (!inside(row, column))
        fail("Index out of bounds for DoubleMatrix object!! Program terminated with error. \n");
    elements_[static_cast<std::size_t>(row * columns_ + column)] = value;
}

double DoubleMatrix::get(int row, int column) const {
    if (!inside(row, column))
        fail("Index out of bounds for DoubleMatrix object!! Program terminated with error. \n");
    return elements_[static_cast<std::size_t>(row * columns_ + column)];
}

void DoubleMatrix::scale(double factor) {
    for (double& e : elements_)
        e *= factor;
}

void DoubleMatrix::multiplyAccumulate(DoubleMatrix& c, const DoubleMatrix& a,
                                      const DoubleMatrix& b) {
    if (a.columns_ != b.rows_)
        fail("Attempt to multiply size-inconsistent matrices!! Program terminated with error. \n");
    for (int i = 0; i < a.rows_; ++i)
        for (int j = 0; j < b.columns_; ++j) {
            double cij = c.get(i, j);
            for (int k = 0; k < a.columns_; ++k)
                cij += a.elements_[static_cast<std::size_t>(i * a.columns_ + k)] *
                       b.elements_[static_cast<std::size_t>(k * b.columns_ + j)];
            c.set(i, j, cij);
        }
}

void DoubleMatrix::transpose(const DoubleMatrix& a, DoubleMatrix& b) {
    if (a.rows_ != b.columns_ || a.columns_ != b.rows_)
        fail("DoubleMatrix Size-inconsistency in transpose!! Program terminated with error. \n");
    for (int i = 0; i < a.rows_; ++i)
        for (int j = 0; j < a.columns_; ++j)
            b.elements_[static_cast<std::size_t>(j * b.columns_ + i)] =
                a.elements_[static_cast<std::size_t>(i * a.columns_ + j)];
}

DoubleMatrix& DoubleMatrix::operator+=(const DoubleMatrix& other) {
    if (rows_ != other.rows_ || columns_ != other.columns_)
        fail(" Size-inconsistency in += operator!! Program terminated with error. \n");
    for (std::size_t k = 0; k < elements_.size(); ++k)
        elements_[k] += other.elements_[k];
    return *this;
}

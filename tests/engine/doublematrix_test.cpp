#include "fea/doublematrix.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// The checks print on standard output; the death tests route it to standard error to match it.
void toStderr() {
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

TEST(DoubleMatrix, FreshMatrixIsZero) {
    DoubleMatrix m(1, 1);
    EXPECT_EQ(m.get(0, 0), 0.0);
}

TEST(DoubleMatrix, MultiplyAccumulateAddsTheProduct) {
    DoubleMatrix a(1, 3), b(3, 1), c(1, 1);
    for (int k = 0; k < 3; ++k) {
        a.set(0, k, k + 1.0);     // 1 2 3
        b.set(k, 0, 2.0 * k - 1); // -1 1 3
    }
    DoubleMatrix::multiplyAccumulate(c, a, b);
    EXPECT_DOUBLE_EQ(c.get(0, 0), 10.0);
    DoubleMatrix::multiplyAccumulate(c, a, b);
    EXPECT_DOUBLE_EQ(c.get(0, 0), 20.0);
}

TEST(DoubleMatrix, TransposeScaleAndSum) {
    DoubleMatrix a(3, 8), t(8, 3), s(8, 3);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 8; ++j)
            a.set(i, j, 10.0 * i + j);
    DoubleMatrix::transpose(a, t);
    DoubleMatrix::transpose(a, s);
    s.scale(2.0);
    s += t;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 8; ++j) {
            EXPECT_EQ(t.get(j, i), 10.0 * i + j);
            EXPECT_EQ(s.get(j, i), 3.0 * (10.0 * i + j));
        }
}

TEST(DoubleMatrixDeathTest, FailedChecksPrintTheirMessageAndExitWithFailure) {
    DoubleMatrix m23(2, 3), m38(3, 8), m11(1, 1), m32(3, 2);
    EXPECT_EXIT((toStderr(), m23.set(2, 0, 1.0)), testing::ExitedWithCode(1),
                "Index out of bounds for DoubleMatrix object!! Program terminated with error. ");
    EXPECT_EXIT((toStderr(), (void)m23.get(0, -1)), testing::ExitedWithCode(1),
                "Index out of bounds for DoubleMatrix object!!");
    EXPECT_EXIT((toStderr(), DoubleMatrix::multiplyAccumulate(m11, m23, m23)),
                testing::ExitedWithCode(1),
                "Attempt to multiply size-inconsistent matrices!! Program terminated with error. ");
    EXPECT_EXIT((toStderr(), DoubleMatrix::transpose(m38, m38)), testing::ExitedWithCode(1),
                "DoubleMatrix Size-inconsistency in transpose!! Program terminated with error. ");
    EXPECT_EXIT((toStderr(), m23 += m32), testing::ExitedWithCode(1),
                " Size-inconsistency in \\+= operator!! Program terminated with error. ");
}

} // namespace

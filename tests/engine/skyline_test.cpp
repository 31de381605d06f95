#include "fea/skyline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// A symmetric positive definite matrix with a variable profile, held densely for reference and
// in skyline form for the solver.
struct Problem {
    int neq;
    std::vector<int> diag;
    std::vector<double> sky;
    std::vector<double> dense;
};

Problem makeProblem(int neq, const std::vector<int>& heights, unsigned seed) {
    Problem p{neq, std::vector<int>(neq + 1, 0), {}, std::vector<double>(neq * neq, 0.0)};
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int j = 0; j < neq; ++j) {
        p.diag[j + 1] = p.diag[j] + heights[j] + 1;
        for (int k = 1; k <= heights[j]; ++k) {
            const double v = u(gen);
            p.dense[(j - k) * neq + j] = p.dense[j * neq + j - k] = v;
        }
    }
    for (int j = 0; j < neq; ++j) {
        double s = 0.0;
        for (int i = 0; i < neq; ++i)
            s += i == j ? 0.0 : std::abs(p.dense[i * neq + j]);
        p.dense[j * neq + j] = s + 1.0;
    }
    p.sky.resize(p.diag[neq]);
    for (int j = 0; j < neq; ++j)
        for (int k = 0; k <= heights[j]; ++k)
            p.sky[p.diag[j] + k] = p.dense[(j - k) * neq + j];
    return p;
}

// Paired columns (equal tops), single columns, columns that start below their neighbours and
// long columns that use the vector loops with remainders all occur in these profiles.
TEST(Skyline, SolutionSatisfiesTheDenseSystem) {
    const std::vector<std::vector<int>> profiles = {
        {0, 1, 2, 3, 4, 5, 6, 7},
        {0, 1, 1, 2, 0, 1, 4, 5, 2, 3},
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23},
    };
    std::vector<int> wide(60);
    for (int j = 0; j < 60; ++j)
        wide[j] = std::min(j, 27 + (j % 2));
    // Random heights, most odd columns paired with their left neighbour.
    std::mt19937 gen(5);
    std::vector<int> mixed(80);
    for (int j = 0; j < 80; ++j)
        mixed[j] = (j % 2 == 1 && gen() % 10 < 7) ? mixed[j - 1] + 1
                                                  : static_cast<int>(gen() % (std::min(j, 30) + 1));
    std::vector<std::vector<int>> all = profiles;
    all.push_back(wide);
    all.push_back(mixed);
    for (std::size_t c = 0; c < all.size(); ++c) {
        SCOPED_TRACE("profile " + std::to_string(c));
        const int neq = static_cast<int>(all[c].size());
        Problem p = makeProblem(neq, all[c], 17u + static_cast<unsigned>(c));
        std::vector<double> x(neq), b(neq, 0.0);
        for (int i = 0; i < neq; ++i)
            x[i] = std::sin(1.0 + i);
        for (int i = 0; i < neq; ++i)
            for (int j = 0; j < neq; ++j)
                b[i] += p.dense[i * neq + j] * x[j];
        int warnings = 0;
        skyline::factorize(p.sky, p.diag, neq, [&](int, double) { ++warnings; });
        skyline::solve(p.sky, p.diag, neq, b);
        EXPECT_EQ(warnings, 0);
        for (int i = 0; i < neq; ++i)
            EXPECT_NEAR(b[i], x[i], 1e-12) << "equation " << i;
    }
}

TEST(Skyline, SmallPivotsAreReportedAndReplaced) {
    // [[1, 1], [1, 1]] is singular: the second pivot is exactly 0 and becomes 1e99.
    // [[1, 2], [2, 1]] has the negative pivot -3, replaced by 3.
    struct Case {
        double offDiagonal;
        double pivot;
        double replaced;
    };
    for (const Case& c : {Case{1.0, 0.0, 1e99}, Case{2.0, -3.0, 3.0}}) {
        std::vector<int> diag = {0, 1, 3};
        std::vector<double> a = {1.0, 1.0, c.offDiagonal};
        std::vector<std::pair<int, double>> seen;
        skyline::factorize(a, diag, 2, [&](int eq, double d) { seen.emplace_back(eq, d); });
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].first, 1);
        EXPECT_DOUBLE_EQ(seen[0].second, c.pivot);
        EXPECT_DOUBLE_EQ(a[1], c.replaced);
        EXPECT_DOUBLE_EQ(a[2], c.offDiagonal);
    }
}

} // namespace

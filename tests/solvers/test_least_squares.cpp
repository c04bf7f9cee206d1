#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "solvers/DesignSolvers.h"
#include "solvers/LibrarySolvers.h"

namespace {

double matrix[250][250];

int CountLines(const std::string& text)
{
    int n = 0;
    for (char c : text)
        if (c == '\n') ++n;
    return n;
}

struct LeastSquaresCase {
    const char* name;
    std::vector<std::vector<double>> a;
    std::vector<double> b;
    std::vector<double> x;  // expected solution
    double residual;        // expected residual norm
    const char* minAlphaLine;  // expected exactly, or nullptr where only its presence is checked
};

void Load(const LeastSquaresCase& c)
{
    for (size_t i = 0; i < c.a.size(); ++i)
        for (size_t k = 0; k < c.a[i].size(); ++k) matrix[i][k] = c.a[i][k];
}

class LeastSquaresTable : public testing::TestWithParam<LeastSquaresCase> {};

TEST_P(LeastSquaresTable, SolvesAndReportsTheSmallestPivot)
{
    const LeastSquaresCase& c = GetParam();
    Load(c);
    const int m = static_cast<int>(c.a.size()), n = static_cast<int>(c.a[0].size());
    double x[250] = {};
    testing::internal::CaptureStdout();
    const double residual = library::SolveLeastSquares(matrix, c.b.data(), m, n, x, std::cout);
    const std::string out = testing::internal::GetCapturedStdout();

    for (int k = 0; k < n; ++k) EXPECT_NEAR(x[k], c.x[k], 1e-12) << k;
    if (m == n) {
        EXPECT_EQ(residual, 0.0);
    } else {
        EXPECT_NEAR(residual, c.residual, 1e-12);
    }
    EXPECT_EQ(CountLines(out), 1) << out;
    if (c.minAlphaLine) {
        EXPECT_EQ(out, c.minAlphaLine);
    } else {
        EXPECT_EQ(out.rfind("min alpha: ", 0), 0u) << out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Systems, LeastSquaresTable,
    testing::Values(
        // Upper triangular: |alpha| of the two reflected columns is 2 and 3; the third is not counted.
        LeastSquaresCase{"square3", {{2, 1, 1}, {0, 3, 1}, {0, 0, 0.5}}, {3, -3, 1.5}, {1, -2, 3}, 0.0,
                         "min alpha: 2\n"},
        // A negative diagonal gives a negative alpha; the report uses its size.
        LeastSquaresCase{"negativeDiagonal", {{-3, 0}, {4, 5}}, {-3, 9}, {1, 1}, 0.0, "min alpha: 5\n"},
        LeastSquaresCase{"hugePivots", {{200000, 0}, {0, 300000}}, {200000, 600000}, {1, 2}, 0.0,
                         "min alpha: 100000\n"},
        LeastSquaresCase{"oneByOne", {{4}}, {2}, {0.5}, 0.0, "min alpha: 100000\n"},
        LeastSquaresCase{"lineConsistent", {{1, 0}, {1, 1}, {1, 2}, {1, 3}}, {1, 3, 5, 7}, {1, 2}, 0.0, nullptr},
        // Fit by hand: y = 0.8 + 2.3 t, misses 0.2, -0.1, -0.4, 0.3.
        LeastSquaresCase{"lineInconsistent", {{1, 0}, {1, 1}, {1, 2}, {1, 3}}, {1, 3, 5, 8}, {0.8, 2.3},
                         std::sqrt(0.3), nullptr}),
    [](const testing::TestParamInfo<LeastSquaresCase>& info) { return std::string(info.param.name); });

TEST(LeastSquares, ZeroColumnIsReportedAndGivesNonFiniteValues)
{
    const double a[3][2] = {{0, 1}, {0, 2}, {0, 3}};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 2; ++k) matrix[i][k] = a[i][k];
    const double b[3] = {1, 2, 3};
    double x[2] = {0, 0};
    testing::internal::CaptureStdout();
    library::SolveLeastSquares(matrix, b, 3, 2, x, std::cout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "column 1 with 0\nmin alpha: 0\n");
    EXPECT_FALSE(std::isfinite(x[0]) && std::isfinite(x[1]));
}

struct RefusedShape {
    int m, n;
};

class LeastSquaresRefusal : public testing::TestWithParam<RefusedShape> {};

TEST_P(LeastSquaresRefusal, PrintsOneLineAndLeavesTheSolution)
{
    const RefusedShape s = GetParam();
    double x[260];
    for (double& v : x) v = 7.0;
    const double b[260] = {};
    testing::internal::CaptureStdout();
    const double result = library::SolveLeastSquares(matrix, b, s.m, s.n, x, std::cout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(std::isnan(result));
    EXPECT_EQ(CountLines(out), 1) << out;
    EXPECT_EQ(out.find("min alpha"), std::string::npos);
    for (double v : x) EXPECT_EQ(v, 7.0);
}

INSTANTIATE_TEST_SUITE_P(OutsideCapacity, LeastSquaresRefusal,
                         testing::Values(RefusedShape{251, 3}, RefusedShape{250, 250}, RefusedShape{3, 0},
                                         RefusedShape{3, -1}, RefusedShape{3, 4}, RefusedShape{0, 0}));

TEST(LeastSquares, LargestAcceptedSystemStaysInside)
{
    // 250 equations in 249 unknowns: the right-hand side takes the last column of the work matrix.
    for (int i = 0; i < 250; ++i)
        for (int k = 0; k < 250; ++k) matrix[i][k] = (i == k) ? 2.0 : 0.0;
    std::vector<double> b(250, 4.0);
    std::vector<double> x(250, -1.0);
    testing::internal::CaptureStdout();
    const double residual = library::SolveLeastSquares(matrix, b.data(), 250, 249, x.data(), std::cout);
    testing::internal::GetCapturedStdout();
    for (int k = 0; k < 249; ++k) EXPECT_NEAR(x[k], 2.0, 1e-12);
    EXPECT_EQ(x[249], -1.0);
    EXPECT_NEAR(residual, 4.0, 1e-12);  // the last equation 0 = 4 stays unmet
}

TEST(SolveLinear3, IdentityReturnsTheRightHandSideSilently)
{
    double a[5][5] = {};
    for (int i = 0; i < 3; ++i) a[i][i] = 1.0;
    const double b[5] = {1.5, -2.0, 3.25, 99, 99};
    double x[5] = {0, 0, 0, 42, 42};
    testing::internal::CaptureStdout();
    const double result = design::SolveLinear3(a, b, x);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(result, 0.0);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(x[i], b[i], 1e-15);
    EXPECT_EQ(x[3], 42);
    EXPECT_EQ(x[4], 42);
}

TEST(SolveLinear3, GeneralSystem)
{
    double a[5][5] = {{0, 2, 1}, {1, 0, -1}, {3, 1, 0}};  // zero first pivot, needs the reflection
    const double want[3] = {1, -1, 2};
    double b[5] = {};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) b[i] += a[i][k] * want[k];
    double x[5] = {};
    EXPECT_EQ(design::SolveLinear3(a, b, x), 0.0);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(x[i], want[i], 1e-12);
}

}  // namespace

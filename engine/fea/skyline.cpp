#include "fea/skyline.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SKYLINE_HAVE_AVX2 1
#endif

namespace skyline {
namespace {

// Kernels of the reduction: x is a factor column (read once), y0 and y1 the columns being reduced.
// one:  returns sum x[k] * y0[k]
// two:  returns both sums with x loaded once.
// four: the 2 x 2 block of sums x0.y0, x0.y1, x1.y0, x1.y1 with every vector loaded once.
struct Kernels {
    double (*one)(const double* x, const double* y0, int len);
    void (*two)(const double* x, const double* y0, const double* y1, int len, double& s0,
                double& s1);
    void (*four)(const double* x0, const double* x1, const double* y0, const double* y1, int len,
                 double (&s)[4]);
};

double dotPortable(const double* x, const double* y, int len) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    int k = 0;
    for (; k + 4 <= len; k += 4) {
        s0 += x[k] * y[k];
        s1 += x[k + 1] * y[k + 1];
        s2 += x[k + 2] * y[k + 2];
        s3 += x[k + 3] * y[k + 3];
    }
    for (; k < len; ++k)
        s0 += x[k] * y[k];
    return (s0 + s1) + (s2 + s3);
}

void dot2Portable(const double* x, const double* y0, const double* y1, int len, double& r0,
                  double& r1) {
    double a0 = 0.0, a1 = 0.0, b0 = 0.0, b1 = 0.0;
    int k = 0;
    for (; k + 2 <= len; k += 2) {
        a0 += x[k] * y0[k];
        b0 += x[k] * y1[k];
        a1 += x[k + 1] * y0[k + 1];
        b1 += x[k + 1] * y1[k + 1];
    }
    for (; k < len; ++k) {
        a0 += x[k] * y0[k];
        b0 += x[k] * y1[k];
    }
    r0 = a0 + a1;
    r1 = b0 + b1;
}

void dot4Portable(const double* x0, const double* x1, const double* y0, const double* y1, int len,
                  double (&s)[4]) {
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    for (int k = 0; k < len; ++k) {
        a += x0[k] * y0[k];
        b += x0[k] * y1[k];
        c += x1[k] * y0[k];
        d += x1[k] * y1[k];
    }
    s[0] = a;
    s[1] = b;
    s[2] = c;
    s[3] = d;
}

#ifdef SKYLINE_HAVE_AVX2
__attribute__((target("avx2,fma"))) double hsum(__m256d v) {
    const __m128d lo = _mm256_castpd256_pd128(v);
    const __m128d hi = _mm256_extractf128_pd(v, 1);
    const __m128d s = _mm_add_pd(lo, hi);
    return _mm_cvtsd_f64(_mm_add_sd(s, _mm_unpackhi_pd(s, s)));
}

__attribute__((target("avx2,fma"))) double dotAvx2(const double* x, const double* y, int len) {
    __m256d s0 = _mm256_setzero_pd(), s1 = _mm256_setzero_pd();
    __m256d s2 = _mm256_setzero_pd(), s3 = _mm256_setzero_pd();
    int k = 0;
    for (; k + 16 <= len; k += 16) {
        s0 = _mm256_fmadd_pd(_mm256_loadu_pd(x + k), _mm256_loadu_pd(y + k), s0);
        s1 = _mm256_fmadd_pd(_mm256_loadu_pd(x + k + 4), _mm256_loadu_pd(y + k + 4), s1);
        s2 = _mm256_fmadd_pd(_mm256_loadu_pd(x + k + 8), _mm256_loadu_pd(y + k + 8), s2);
        s3 = _mm256_fmadd_pd(_mm256_loadu_pd(x + k + 12), _mm256_loadu_pd(y + k + 12), s3);
    }
    for (; k + 4 <= len; k += 4)
        s0 = _mm256_fmadd_pd(_mm256_loadu_pd(x + k), _mm256_loadu_pd(y + k), s0);
    double s = hsum(_mm256_add_pd(_mm256_add_pd(s0, s1), _mm256_add_pd(s2, s3)));
    for (; k < len; ++k)
        s += x[k] * y[k];
    return s;
}

__attribute__((target("avx2,fma"))) void
dot2Avx2(const double* x, const double* y0, const double* y1, int len, double& r0, double& r1) {
    __m256d a0 = _mm256_setzero_pd(), a1 = _mm256_setzero_pd();
    __m256d b0 = _mm256_setzero_pd(), b1 = _mm256_setzero_pd();
    int k = 0;
    for (; k + 8 <= len; k += 8) {
        const __m256d x0 = _mm256_loadu_pd(x + k);
        const __m256d x1 = _mm256_loadu_pd(x + k + 4);
        a0 = _mm256_fmadd_pd(x0, _mm256_loadu_pd(y0 + k), a0);
        b0 = _mm256_fmadd_pd(x0, _mm256_loadu_pd(y1 + k), b0);
        a1 = _mm256_fmadd_pd(x1, _mm256_loadu_pd(y0 + k + 4), a1);
        b1 = _mm256_fmadd_pd(x1, _mm256_loadu_pd(y1 + k + 4), b1);
    }
    for (; k + 4 <= len; k += 4) {
        const __m256d x0 = _mm256_loadu_pd(x + k);
        a0 = _mm256_fmadd_pd(x0, _mm256_loadu_pd(y0 + k), a0);
        b0 = _mm256_fmadd_pd(x0, _mm256_loadu_pd(y1 + k), b0);
    }
    double s0 = hsum(_mm256_add_pd(a0, a1));
    double s1 = hsum(_mm256_add_pd(b0, b1));
    for (; k < len; ++k) {
        s0 += x[k] * y0[k];
        s1 += x[k] * y1[k];
    }
    r0 = s0;
    r1 = s1;
}

__attribute__((target("avx2,fma"))) void dot4Avx2(const double* x0, const double* x1,
                                                  const double* y0, const double* y1, int len,
                                                  double (&s)[4]) {
    __m256d a0 = _mm256_setzero_pd(), b0 = _mm256_setzero_pd();
    __m256d c0 = _mm256_setzero_pd(), d0 = _mm256_setzero_pd();
    __m256d a1 = _mm256_setzero_pd(), b1 = _mm256_setzero_pd();
    __m256d c1 = _mm256_setzero_pd(), d1 = _mm256_setzero_pd();
    int k = 0;
    for (; k + 8 <= len; k += 8) {
        const __m256d p0 = _mm256_loadu_pd(x0 + k), q0 = _mm256_loadu_pd(x1 + k);
        const __m256d u0 = _mm256_loadu_pd(y0 + k), v0 = _mm256_loadu_pd(y1 + k);
        a0 = _mm256_fmadd_pd(p0, u0, a0);
        b0 = _mm256_fmadd_pd(p0, v0, b0);
        c0 = _mm256_fmadd_pd(q0, u0, c0);
        d0 = _mm256_fmadd_pd(q0, v0, d0);
        const __m256d p1 = _mm256_loadu_pd(x0 + k + 4), q1 = _mm256_loadu_pd(x1 + k + 4);
        const __m256d u1 = _mm256_loadu_pd(y0 + k + 4), v1 = _mm256_loadu_pd(y1 + k + 4);
        a1 = _mm256_fmadd_pd(p1, u1, a1);
        b1 = _mm256_fmadd_pd(p1, v1, b1);
        c1 = _mm256_fmadd_pd(q1, u1, c1);
        d1 = _mm256_fmadd_pd(q1, v1, d1);
    }
    for (; k + 4 <= len; k += 4) {
        const __m256d p0 = _mm256_loadu_pd(x0 + k), q0 = _mm256_loadu_pd(x1 + k);
        const __m256d u0 = _mm256_loadu_pd(y0 + k), v0 = _mm256_loadu_pd(y1 + k);
        a0 = _mm256_fmadd_pd(p0, u0, a0);
        b0 = _mm256_fmadd_pd(p0, v0, b0);
        c0 = _mm256_fmadd_pd(q0, u0, c0);
        d0 = _mm256_fmadd_pd(q0, v0, d0);
    }
    double r[4] = {hsum(_mm256_add_pd(a0, a1)), hsum(_mm256_add_pd(b0, b1)),
                   hsum(_mm256_add_pd(c0, c1)), hsum(_mm256_add_pd(d0, d1))};
    for (; k < len; ++k) {
        r[0] += x0[k] * y0[k];
        r[1] += x0[k] * y1[k];
        r[2] += x1[k] * y0[k];
        r[3] += x1[k] * y1[k];
    }
    s[0] = r[0];
    s[1] = r[1];
    s[2] = r[2];
    s[3] = r[3];
}
#endif

Kernels selectKernels() {
#ifdef SKYLINE_HAVE_AVX2
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return {dotAvx2, dot2Avx2, dot4Avx2};
#endif
    return {dotPortable, dot2Portable, dot4Portable};
}

const Kernels& kernels() {
    static const Kernels k = selectKernels();
    return k;
}

int height(std::span<const int> diag, int j) {
    return diag[j + 1] - diag[j] - 1;
}

// Divides the reduced entries of column n by the pivots above it and sets D(n).
void finishColumn(double* a, std::span<const int> diag, int n, const PivotObserver& observer) {
    const int h = height(diag, n);
    double* col = a + diag[n];
    double s = 0.0;
    for (int k = 1; k <= h; ++k) {
        const double g = col[k];
        const double l = g / a[diag[n - k]];
        col[k] = l;
        s += l * g;
    }
    double d = col[0] - s;
    if (d <= PivotLimit) {
        if (observer)
            observer(n, d);
        if (d == 0.0)
            d = 1e99;
        else if (d < 0.0)
            d = -d;
    }
    col[0] = d;
}

} // namespace

void factorize(std::span<double> values, std::span<const int> diag, int neq,
               const PivotObserver& onSmallPivot) {
    const Kernels& kern = kernels();
    double* a = values.data();
    int n = 0;
    while (n < neq) {
        const int h = height(diag, n);
        const int top = n - h;
        const bool paired = n + 1 < neq && height(diag, n + 1) == h + 1;
        double* col0 = a + diag[n];
        double* col1 = paired ? a + diag[n + 1] : nullptr;
        // Reduce the entries of rows top+1 .. n-1 (row i of column n sits at col0[n - i]); each
        // takes the dot product of factor column i with the already reduced entries above it.
        for (int i = top + 1; i < n; ++i) {
            const int start = std::max(top, i - height(diag, i));
            const int len = i - start;
            if (paired && i + 1 < n) {
                // Rows i and i+1 of both columns at once. Counting k from row i-1 upward, factor
                // column i+1 is shifted by one place; its entry for row i (the coupling to the
                // just reduced row i) is applied afterwards.
                const int hNext = height(diag, i + 1);
                const int lenNext = i - std::max(top, i + 1 - hNext);
                const int common = std::max(0, std::min(len, lenNext));
                const double* li = a + diag[i] + 1;
                const double* lNext = a + diag[i + 1] + 1;
                double* g0 = col0 + (n - i);
                double* g1 = col1 + (n + 1 - i);
                double s[4] = {0.0, 0.0, 0.0, 0.0};
                if (common > 0)
                    kern.four(li, lNext + 1, g0 + 1, g1 + 1, common, s);
                if (len > common) {
                    double t0 = 0.0, t1 = 0.0;
                    kern.two(li + common, g0 + 1 + common, g1 + 1 + common, len - common, t0, t1);
                    s[0] += t0;
                    s[1] += t1;
                }
                if (lenNext > common) {
                    double t0 = 0.0, t1 = 0.0;
                    kern.two(lNext + 1 + common, g0 + 1 + common, g1 + 1 + common, lenNext - common,
                             t0, t1);
                    s[2] += t0;
                    s[3] += t1;
                }
                g0[0] -= s[0];
                g1[0] -= s[1];
                double next0 = g0[-1] - s[2], next1 = g1[-1] - s[3];
                if (hNext >= 1 && i >= top) {
                    next0 -= lNext[0] * g0[0];
                    next1 -= lNext[0] * g1[0];
                }
                g0[-1] = next0;
                g1[-1] = next1;
                ++i;
                continue;
            }
            if (len <= 0)
                continue;
            const double* li = a + diag[i] + 1;
            if (paired) {
                double s0 = 0.0, s1 = 0.0;
                kern.two(li, col0 + (n - i) + 1, col1 + (n + 1 - i) + 1, len, s0, s1);
                col0[n - i] -= s0;
                col1[n + 1 - i] -= s1;
            } else {
                col0[n - i] -= kern.one(li, col0 + (n - i) + 1, len);
            }
        }
        finishColumn(a, diag, n, onSmallPivot);
        if (!paired) {
            ++n;
            continue;
        }
        // Column n+1 also needs row top (not reduced: nothing above it) and row n, which uses the
        // factors of column n just finished.
        if (h > 0)
            col1[1] -= kern.one(col0 + 1, col1 + 2, h);
        finishColumn(a, diag, n + 1, onSmallPivot);
        n += 2;
    }
}

void solve(std::span<const double> values, std::span<const int> diag, int neq,
           std::span<double> rhs) {
    const double* a = values.data();
    double* r = rhs.data();
    for (int n = 0; n < neq; ++n) {
        const int h = height(diag, n);
        const double* col = a + diag[n];
        double s = 0.0;
        for (int k = 1; k <= h; ++k)
            s += col[k] * r[n - k];
        r[n] -= s;
    }
    for (int n = 0; n < neq; ++n)
        r[n] /= a[diag[n]];
    for (int n = neq - 1; n >= 1; --n) {
        const int h = height(diag, n);
        const double* col = a + diag[n];
        const double rn = r[n];
        for (int k = 1; k <= h; ++k)
            r[n - k] -= col[k] * rn;
    }
}

} // namespace skyline

#include "numerics/Interp1.h"

#include <cmath>

namespace
{
using RealMatrix = Matrix<double>;

/** Finds the last interval [x[j], x[j+1]], j = 0 .. count-2, that contains t; returns false when none
    does. Ascending abscissae are searched by bisection; others are scanned like a list.
*/
bool findLastInterval (const double* x, std::size_t count, bool ascending, double t, std::size_t& j)
{
    if (count < 2 || std::isnan (t))
        return false;

    if (ascending)
    {
        if (t < x[0] || t > x[count - 1])
            return false;

        const auto firstAbove = static_cast<std::size_t> (std::upper_bound (x, x + count, t) - x);
        j = std::min (firstAbove, count - 1) - 1;
        return true;
    }

    bool found = false;

    for (std::size_t i = 0; i + 1 < count; ++i)
    {
        if (x[i] <= t && t <= x[i + 1])
        {
            j = i;
            found = true;
        }
    }

    return found;
}

RealMatrix linear (const RealMatrix& x, const RealMatrix& y, const RealMatrix& xi)
{
    const auto n = std::min (x.length(), y.length());
    const auto m = xi.length();
    RealMatrix result (1, m);

    if (n == 0)
        return result;

    const auto* px = x.data.data();
    const auto* py = y.data.data();
    const bool ascending = std::is_sorted (px, px + n);

    for (std::size_t k = 0; k < m; ++k)
    {
        const double t = xi.data[k];
        std::size_t j = 0;

        if (px[0] >= t)
            result.data[k] = py[0];
        else if (t >= px[n - 1])
            result.data[k] = py[n - 1];
        else if (findLastInterval (px, n, ascending, t, j))
            result.data[k] = (t - px[j]) * ((py[j + 1] - py[j]) / (px[j + 1] - px[j])) + py[j];
    }

    return result;
}

/** Second derivatives of the natural cubic spline through (x, y) at every knot, M[0] = M[n-1] = 0.
    The tridiagonal system is solved by elimination without pivoting.
*/
std::vector<double> splineSecondDerivatives (const double* x, const double* y, std::size_t n)
{
    std::vector<double> M (n, 0.0);

    if (n < 3)
        return M;

    std::vector<double> h (n - 1), d (n), diagonal (n - 1), rhs (n - 1);

    for (std::size_t j = n - 1; j >= 1; --j)
    {
        d[j] = (y[j] - y[j - 1]) / (x[j] - x[j - 1]);
        h[j - 1] = x[j] - x[j - 1];
    }

    // Row r (r = 1 .. n-2) reads h[r-1] * M[r-1] + 2 (h[r-1] + h[r]) * M[r] + h[r] * M[r+1] = rhs[r],
    // with the outer second derivatives M[0] and M[n-1] fixed at zero.
    for (std::size_t r = 1; r + 1 < n; ++r)
    {
        diagonal[r] = 2.0 * (h[r - 1] + h[r]);
        rhs[r] = 6.0 * (d[r + 1] - d[r]);
    }

    for (std::size_t r = 2; r + 1 < n; ++r)
    {
        const double f = h[r - 1] / diagonal[r - 1];
        diagonal[r] -= h[r - 1] * f;
        rhs[r] -= rhs[r - 1] * f;
    }

    for (std::size_t r = n - 2; r >= 1; --r)
    {
        const double above = r + 2 < n ? h[r] * M[r + 1] : 0.0;
        M[r] = (rhs[r] - (diagonal[r] * 0.0 + above)) / diagonal[r];
    }

    return M;
}

RealMatrix spline (const RealMatrix& x, const RealMatrix& y, const RealMatrix& xi)
{
    const auto n = std::min (x.length(), y.length());
    const auto m = xi.length();
    RealMatrix result (1, m);

    if (n == 0)
        return result;

    const auto* px = x.data.data();
    const auto* py = y.data.data();

    if (n == 1)
    {
        for (std::size_t k = 0; k < m; ++k)
            if (xi.data[k] == px[0])
                result.data[k] = py[0];

        return result;
    }

    const auto M = splineSecondDerivatives (px, py, n);
    const bool ascending = std::is_sorted (px, px + n);

    for (std::size_t k = 0; k < m; ++k)
    {
        const double t = xi.data[k];
        std::size_t j = 0;

        if (! findLastInterval (px, n, ascending, t, j))
            continue;

        const double s = t - px[j];
        const double H = px[j + 1] - px[j];
        const double K1 = (py[j + 1] - py[j]) / H - ((H + H) * M[j] + M[j + 1] * H) / 6.0;
        const double K2 = M[j] * 0.5;
        const double K3 = (M[j + 1] - M[j]) / (H * 6.0);
        result.data[k] = s * K1 + (s * s * K2 + std::pow (s, 3.0) * K3) + py[j];
    }

    return result;
}
} // namespace

RealMatrix interp1 (const RealMatrix& x, const RealMatrix& y, const RealMatrix& xi, const std::string& method)
{
    if (method == "linear")
        return linear (x, y, xi);

    if (method == "spline")
        return spline (x, y, xi);

    return {};
}

#include "numerics/Fft.h"

#include "numerics/FftSetup.h"

#include <cmath>

namespace
{
using Complex = std::complex<double>;
using ComplexMatrix = Matrix<Complex>;

/** log2 (n) truncated toward zero, never so large that 2^log2n exceeds n. */
std::size_t truncatedLog2 (std::size_t n)
{
    auto log2n = static_cast<std::size_t> (std::log2 (static_cast<double> (n)));

    if (log2n > FftSetup::maxLog2n)
        log2n = FftSetup::maxLog2n;

    while (log2n > 0 && (std::size_t { 1 } << log2n) > n)
        --log2n;

    return log2n;
}

/** Transforms the first 2^log2n of n elements of x (zero where x ends) and passes the rest through. */
ComplexMatrix transform (const ComplexMatrix& x, std::size_t n, FftSetup::Direction direction)
{
    if (n == 0)
        return ComplexMatrix (1, 0);

    const auto available = std::min (x.data.size(), n);
    const auto lease = FftSetup::acquire (truncatedLog2 (n));
    const auto points = lease.size();
    auto* buffer = lease.data();
    const auto* input = x.data.data();
    const auto copied = std::min (available, points);

    for (std::size_t k = 0; k < copied; ++k)
        buffer[k] = { static_cast<float> (input[k].real()), static_cast<float> (input[k].imag()) };

    for (std::size_t k = copied; k < points; ++k)
        buffer[k] = {};

    lease.transform (direction);

    std::vector<Complex> values;
    values.reserve (n);
    values.assign (buffer, buffer + points);

    for (std::size_t k = points; k < available; ++k)
        values.emplace_back (static_cast<float> (input[k].real()), static_cast<float> (input[k].imag()));

    values.resize (n);
    return ComplexMatrix (1, n, std::move (values));
}
} // namespace

ComplexMatrix fft (const ComplexMatrix& x, std::size_t n)
{
    return transform (x, n, FftSetup::Direction::forward);
}

ComplexMatrix ifft (const ComplexMatrix& X, std::size_t n)
{
    return transform (X, n, FftSetup::Direction::inverse);
}

Matrix<double> fftshift (const Matrix<double>& x)
{
    Matrix<double> result (x);
    const auto n = x.length();
    const auto h = n - n / 2;

    std::rotate_copy (x.data.begin(), x.data.begin() + static_cast<std::ptrdiff_t> (h),
                      x.data.begin() + static_cast<std::ptrdiff_t> (n), result.data.begin());
    return result;
}

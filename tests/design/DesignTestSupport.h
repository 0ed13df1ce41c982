#pragma once

#include "design/DesignEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

namespace designtest
{
    using Complex = std::complex<double>;

    /** An engine whose hooks can be watched and steered from a test. */
    class TestEngine : public DesignEngine
    {
    public:
        int selection = -1;          // -1: the engine's own default
        int notifications = 0;

        int getFilterResponseSelection() const override
        {
            return selection < 0 ? DesignEngine::getFilterResponseSelection() : selection;
        }

        void designCalculated() override { ++notifications; }

        int defaultSelection() const { return DesignEngine::getFilterResponseSelection(); }
    };

    inline Matrix<double> row (std::vector<double> values)
    {
        const auto n = values.size();
        return Matrix<double> (1, n, std::move (values));
    }

    inline double dB (Complex c) { return 20.0 * std::log10 (std::abs (c)); }

    /** Same bits, or both NaN of the same sign. */
    inline bool sameDouble (double a, double b)
    {
        if (std::isnan (a) || std::isnan (b))
            return std::isnan (a) && std::isnan (b) && std::signbit (a) == std::signbit (b);

        return std::memcmp (&a, &b, sizeof (double)) == 0;
    }

    inline bool sameComplex (Complex a, Complex b)
    {
        return sameDouble (a.real(), b.real()) && sameDouble (a.imag(), b.imag());
    }

    template <typename T>
    bool allFinite (const Matrix<T>& m)
    {
        return std::all_of (m.data.begin(), m.data.end(), [] (const T& x) { return std::isfinite (std::abs (x)); });
    }
}

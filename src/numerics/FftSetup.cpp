#include "numerics/FftSetup.h"

#include <fftw3.h>

#include <array>
#include <limits>
#include <memory>
#include <new>

namespace
{
/** Plans and working buffer for one length. */
struct SetupForLength
{
    explicit SetupForLength (std::size_t n) : length (n)
    {
        buffer = static_cast<fftwf_complex*> (fftwf_malloc (sizeof (fftwf_complex) * n));

        if (buffer == nullptr)
            throw std::bad_alloc();

        const int size = static_cast<int> (n);
        forward = fftwf_plan_dft_1d (size, buffer, buffer, FFTW_FORWARD, FFTW_ESTIMATE);
        inverse = fftwf_plan_dft_1d (size, buffer, buffer, FFTW_BACKWARD, FFTW_ESTIMATE);
    }

    ~SetupForLength()
    {
        if (forward != nullptr)
            fftwf_destroy_plan (forward);
        if (inverse != nullptr)
            fftwf_destroy_plan (inverse);
        fftwf_free (buffer);
    }

    SetupForLength (const SetupForLength&) = delete;
    SetupForLength& operator= (const SetupForLength&) = delete;

    std::size_t length;
    fftwf_complex* buffer = nullptr;
    fftwf_plan forward = nullptr;
    fftwf_plan inverse = nullptr;
};

struct SetupCache
{
    std::mutex mutex;
    std::array<std::unique_ptr<SetupForLength>, FftSetup::maxLog2n + 1> setups;
};

SetupCache& cache()
{
    static SetupCache instance;
    return instance;
}
} // namespace

//==============================================================================
FftSetup::Lease FftSetup::acquire (std::size_t log2n)
{
    auto& setups = cache();
    std::unique_lock<std::mutex> lock (setups.mutex);

    if (log2n > maxLog2n)
        log2n = maxLog2n;

    auto& setup = setups.setups[log2n];

    if (setup == nullptr)
    {
        const auto length = std::size_t { 1 } << log2n;

        // FFTW takes its lengths as int.
        if (length > static_cast<std::size_t> (std::numeric_limits<int>::max()))
            throw std::bad_alloc();

        setup = std::make_unique<SetupForLength> (length);
    }

    return Lease (std::move (lock), reinterpret_cast<std::complex<float>*> (setup->buffer), setup->length,
                  setup->forward, setup->inverse);
}

std::size_t FftSetup::log2Floor (std::size_t n) noexcept
{
    std::size_t log2n = 0;

    while (log2n < maxLog2n && (n >> (log2n + 1)) != 0)
        ++log2n;

    return log2n;
}

FftSetup::Lease::Lease (std::unique_lock<std::mutex> heldLock, std::complex<float>* workBuffer,
                        std::size_t numPoints, void* forward, void* inverse) noexcept
    : lock (std::move (heldLock)), buffer (workBuffer), length (numPoints), forwardPlan (forward), inversePlan (inverse)
{
}

void FftSetup::Lease::transform (Direction direction) const noexcept
{
    auto plan = static_cast<fftwf_plan> (direction == Direction::forward ? forwardPlan : inversePlan);

    if (plan == nullptr)
    {
        for (std::size_t k = 0; k < length; ++k)
            buffer[k] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN() };
        return;
    }

    fftwf_execute (plan);
}

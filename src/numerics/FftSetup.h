#pragma once

#include <complex>
#include <cstddef>
#include <mutex>

/**
    Single-precision complex transforms of 2^log2n points, unscaled, in place.

    The contract is that of a classic radix-2 library transform: the forward direction uses the
    exponent sign -j, the inverse direction +j, neither divides by the length, and only the 2^log2n
    elements of the working buffer are touched. FFTW does the work: for each length one forward and
    one inverse plan (FFTW_ESTIMATE, so planning is fast and repeatable) and an aligned working buffer
    are made on first use and kept for the life of the process.

    FFTW's planner is not thread-safe and the buffers are shared, so a Lease holds the cache's lock for
    as long as it lives: keep it for one transform only.
*/
class FftSetup
{
public:
    /** The direction of a transform: forward e^-j, inverse e^+j. */
    enum class Direction
    {
        forward,
        inverse
    };

    /** Exclusive use of the buffer and plans for one transform length. */
    class Lease
    {
    public:
        /** The working buffer of size() interleaved complex floats, aligned for FFTW. */
        std::complex<float>* data() const noexcept { return buffer; }

        /** The transform length 2^log2n in points. */
        std::size_t size() const noexcept { return length; }

        /** Replaces the buffer's contents by their unscaled transform in the given direction.
            If FFTW could not make the plans, the buffer is filled with NaN instead.
        */
        void transform (Direction direction) const noexcept;

    private:
        friend class FftSetup;
        Lease (std::unique_lock<std::mutex> heldLock, std::complex<float>* buffer, std::size_t length,
               void* forwardPlan, void* inversePlan) noexcept;

        std::unique_lock<std::mutex> lock;
        std::complex<float>* buffer;
        std::size_t length;
        void* forwardPlan;
        void* inversePlan;
    };

    /** Locks the cache and hands out the setup for 2^log2n points, making it on first use.
        log2n must be at most 62.
    */
    static Lease acquire (std::size_t log2n);

    /** log2 (n) truncated toward zero and limited to maxLog2n: the setup that transforms the first
        2^log2Floor (n) of n points. 0 for n < 2. */
    static std::size_t log2Floor (std::size_t n) noexcept;

    /** The largest log2n that acquire() accepts. */
    static constexpr std::size_t maxLog2n = 62;
};

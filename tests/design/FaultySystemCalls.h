#pragma once

#include "design/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

/** The system's file calls with faults put in, as a failing disk, a full disk or a network share
    would make them. */
namespace faults
{
    /** calls, with the n-th call (from 1) of one kind failing with error; n = 0 makes every call of
        that kind fail. */
    template <typename Call>
    SystemCalls failing (Call SystemCalls::*kind, int error, int n = 0, SystemCalls calls = SystemCalls::system())
    {
        auto count = std::make_shared<int> (0);
        calls.*kind = [real = calls.*kind, count, error, n] (auto... args)
        {
            if (++*count == n || n == 0)
            {
                errno = error;
                return decltype (real (args...)) (-1);
            }

            return real (args...);
        };
        return calls;
    }

    /** calls, with reads cut to at most maxBytes each. */
    inline SystemCalls shortReads (std::size_t maxBytes, SystemCalls calls = SystemCalls::system())
    {
        calls.read = [real = calls.read, maxBytes] (int fd, void* buffer, std::size_t numBytes)
        { return real (fd, buffer, std::min (numBytes, maxBytes)); };
        return calls;
    }

    /** calls, with writes cut to at most maxBytes each. */
    inline SystemCalls shortWrites (std::size_t maxBytes, SystemCalls calls = SystemCalls::system())
    {
        calls.write = [real = calls.write, maxBytes] (int fd, const void* buffer, std::size_t numBytes)
        { return real (fd, buffer, std::min (numBytes, maxBytes)); };
        return calls;
    }

    /** Files of this process stop growing at maxBytes for the lifetime of this object: a write across
        that size writes what fits and the next one fails with EFBIG, as on a disk with that much space
        left. */
    class FileSizeLimit
    {
    public:
        explicit FileSizeLimit (rlim_t maxBytes)
        {
            ::getrlimit (RLIMIT_FSIZE, &previous);
            previousHandler = std::signal (SIGXFSZ, SIG_IGN);
            auto limit = previous;
            limit.rlim_cur = maxBytes;
            ::setrlimit (RLIMIT_FSIZE, &limit);
        }

        ~FileSizeLimit()
        {
            ::setrlimit (RLIMIT_FSIZE, &previous);
            std::signal (SIGXFSZ, previousHandler);
        }

        FileSizeLimit (const FileSizeLimit&) = delete;
        FileSizeLimit& operator= (const FileSizeLimit&) = delete;

    private:
        rlimit previous {};
        void (*previousHandler) (int) = nullptr;
    };
}

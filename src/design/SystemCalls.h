#pragma once

#include <cstddef>
#include <functional>
#include <sys/stat.h>
#include <sys/types.h>

/**
    The operating system's file calls that FileReader and FileWriter make, in one place, so that a
    test can make any of them fail as a failing disk, a full disk or a network share would.

    Each member behaves as the POSIX call of its name: it returns -1 and sets errno on a failure.
*/
struct SystemCalls
{
    std::function<int (const char* path, int flags, mode_t mode)> open;
    std::function<ssize_t (int fd, void* buffer, std::size_t numBytes)> read;
    std::function<ssize_t (int fd, const void* buffer, std::size_t numBytes)> write;
    std::function<int (int fd, struct stat* status)> fstat;
    std::function<int (int fd)> fsync;
    std::function<int (int fd)> close;
    std::function<int (const char* from, const char* to)> rename;
    std::function<int (const char* path)> unlink;

    /** The operating system's own calls. */
    static SystemCalls system();

    /** The calls in effect: the system's own unless a ScopedOverride holds others. */
    static const SystemCalls& get();

    class ScopedOverride;
};

/** Puts other calls in effect for its lifetime and the previous ones back afterwards. Meant for
    tests; no other thread may read or write a file while one is made or dropped. */
class SystemCalls::ScopedOverride
{
public:
    explicit ScopedOverride (SystemCalls calls);
    ~ScopedOverride();

    ScopedOverride (const ScopedOverride&) = delete;
    ScopedOverride& operator= (const ScopedOverride&) = delete;

private:
    const SystemCalls* previous;
    SystemCalls calls;
};

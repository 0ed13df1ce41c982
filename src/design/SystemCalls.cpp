#include "design/SystemCalls.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace
{
const SystemCalls& systemCalls()
{
    static const SystemCalls calls = SystemCalls::system();
    return calls;
}

/** Null while the system's own calls are in effect. */
const SystemCalls* callsInEffect = nullptr;
} // namespace

SystemCalls SystemCalls::system()
{
    SystemCalls calls;
    calls.open = [] (const char* path, int flags, mode_t mode) { return ::open (path, flags, mode); };
    calls.read = [] (int fd, void* buffer, std::size_t numBytes) { return ::read (fd, buffer, numBytes); };
    calls.write = [] (int fd, const void* buffer, std::size_t numBytes) { return ::write (fd, buffer, numBytes); };
    calls.fstat = [] (int fd, struct stat* status) { return ::fstat (fd, status); };
    calls.fsync = [] (int fd) { return ::fsync (fd); };
    calls.close = [] (int fd) { return ::close (fd); };
    calls.rename = [] (const char* from, const char* to) { return std::rename (from, to); };
    calls.unlink = [] (const char* path) { return ::unlink (path); };
    return calls;
}

const SystemCalls& SystemCalls::get()
{
    return callsInEffect != nullptr ? *callsInEffect : systemCalls();
}

SystemCalls::ScopedOverride::ScopedOverride (SystemCalls replacement)
    : previous (callsInEffect), calls (std::move (replacement))
{
    callsInEffect = &calls;
}

SystemCalls::ScopedOverride::~ScopedOverride()
{
    callsInEffect = previous;
}

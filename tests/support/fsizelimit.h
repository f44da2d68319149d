#pragma once

#ifdef _WIN32
// Windows has no limit on the size of a process's files: the object does nothing, and the cases
// that make writes fail through it are skipped there.
using rlim_t = long long;
#define RLIM_INFINITY 0
struct FileSizeLimit
{
    static constexpr bool works = false;
    explicit FileSizeLimit(rlim_t) {}
};
#else
#include <csignal>
#include <sys/resource.h>

// Limits the size any file of this process may grow to, for as long as the object lives. Root
// ignores read-only permissions, so this is how tests make writes fail; SIGXFSZ is ignored so
// that the failing write returns an error instead of ending the process.
struct FileSizeLimit
{
    static constexpr bool works = true;
    rlimit saved{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit{bytes, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};
#endif

#pragma once

#include <csignal>
#include <sys/resource.h>

// Limits the size any file of this process may grow to, for as long as the object lives. Root
// ignores read-only permissions, so this is how tests make writes fail; SIGXFSZ is ignored so
// that the failing write returns an error instead of ending the process.
struct FileSizeLimit
{
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

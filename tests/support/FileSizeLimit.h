// Lets the files of this process grow to at most a given size while it lives, as a full disk
// would: a write beyond it fails with EFBIG ("File too large") instead of raising SIGXFSZ.
#pragma once

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit low{limit, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &low);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldSignal_)(int) = SIG_DFL;
};

#pragma once
// A disk that fills up, for this test process only: while a FileSizeLimit
// lives, no file may grow beyond the given size, and a write past it fails
// the way a write to a full disk does.

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        // Growing a file past the limit raises SIGXFSZ, which would end the
        // process; ignored, the write fails with an error instead.
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

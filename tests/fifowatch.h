#pragma once
// A named pipe in a folder, watched from a thread of its own: whoever opens
// it for reading is noticed and let go at once (the watcher opens the
// writing end and closes it again, so the reader sees the pipe's end), so a
// copy that opens pipes fails its test rather than waiting for ever.

#include <QString>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

class FifoWatch
{
  public:
    explicit FifoWatch(const QString& path) : path_(path.toStdString())
    {
        made_ = mkfifo(path_.c_str(), 0644) == 0;
        if (made_)
            watcher_ = std::thread([this] { Watch(); });
    }
    ~FifoWatch()
    {
        stop_ = true;
        if (watcher_.joinable())
            watcher_.join();
    }
    FifoWatch(const FifoWatch&) = delete;
    FifoWatch& operator=(const FifoWatch&) = delete;

    bool Made() const { return made_; }
    // Whether anything opened the pipe for reading so far.
    bool Opened() const { return opened_; }

  private:
    void Watch()
    {
        // Opening the writing end without waiting fails for as long as no
        // reader has the pipe open.
        while (!stop_) {
            const int fd = open(path_.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                opened_ = true;
                close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    std::string path_;
    bool made_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<bool> opened_{false};
    std::thread watcher_;
};

#include "platform/sidework.h"

#include <csignal>
#include <pthread.h>
#include <utility>

SideWork::SideWork() : thread_([this] { Serve(); }) {}

SideWork::~SideWork()
{
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void SideWork::Start(std::function<void()> task)
{
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        task_ = std::move(task);
        failure_ = nullptr;
        busy_ = true;
    }
    changed_.notify_all();
}

void SideWork::Wait()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
}

void SideWork::Finish()
{
    std::exception_ptr failure;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        failure = std::exchange(failure_, nullptr);
    }
    if (failure)
        std::rethrow_exception(failure);
}

void SideWork::Serve()
{
    // The requests to end the program reach the main thread, whose event
    // loop answers them, as they did before this thread was made.
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGINT);
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (!busy_)
            return;
        std::function<void()> task = std::exchange(task_, nullptr);
        lock.unlock();
        std::exception_ptr failure;
        try {
            task();
        } catch (...) {
            failure = std::current_exception();
        }
        task = nullptr;
        lock.lock();
        failure_ = failure;
        busy_ = false;
        changed_.notify_all();
    }
}

#pragma once
// One thread kept for work that runs beside the caller's own: the sheet's
// refresh works its fit out on it while the labels are read, and paints on
// it while the drawn points are stamped. The thread
// lives as long as the object, so what a thread keeps for itself (the
// fonts' caches) is made once. A task is waited for before the next
// starts, whenever the caller asks and when the object goes; what it
// throws is handed to the caller.

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class SideWork
{
  public:
    SideWork();
    ~SideWork();
    SideWork(const SideWork&) = delete;
    SideWork& operator=(const SideWork&) = delete;

    // Runs task on the side thread, once the one before has ended; what
    // that one threw and nobody claimed is dropped.
    void Start(std::function<void()> task);
    // Returns once the task started last has ended, however it ended.
    void Wait();
    // Waits, then throws what the task threw, once.
    void Finish();

  private:
    void Serve();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> task_;
    bool busy_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

// MinGW-w64 with the win32 thread model has no std::mutex or
// std::condition_variable, and GoogleTest names them in one class
// (Notification) that only its own threading tests use. These stand-ins,
// forced into GoogleTest's compilations for the Windows builds, let it build;
// our tests are single-threaded.
#pragma once
#include <atomic>
#include <condition_variable>
#include <mutex>

#if !defined(_GLIBCXX_HAS_GTHREADS)
namespace std {
class mutex {
 public:
  void lock() {
    while (busy_.test_and_set(std::memory_order_acquire)) {
    }
  }
  void unlock() { busy_.clear(std::memory_order_release); }

 private:
  std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
};
class condition_variable {
 public:
  void notify_all() {}
  template <typename Predicate>
  void wait(std::unique_lock<std::mutex>& lock, Predicate ready) {
    while (!ready()) {
      lock.unlock();
      lock.lock();
    }
  }
};
}  // namespace std
#endif

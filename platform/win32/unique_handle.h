// One move-only owner for every kind of Windows handle: files, registry keys,
// DDE conversations, LZ handles, COM pointers.
#pragma once

#include <utility>

namespace platform::win32 {

// Traits: `static T Invalid()` and `static void Close(T)`.
template <typename T, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() noexcept : value_(Traits::Invalid()) {}
  explicit UniqueHandle(T value) noexcept : value_(value) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  T Get() const noexcept { return value_; }
  bool Valid() const noexcept { return value_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return Valid(); }
  // For APIs that return the handle through a pointer.
  T* Put() noexcept {
    Reset();
    return &value_;
  }
  T Release() noexcept { return std::exchange(value_, Traits::Invalid()); }
  void Reset(T value = Traits::Invalid()) noexcept {
    if (Valid()) Traits::Close(value_);
    value_ = value;
  }

 private:
  T value_;
};

}  // namespace platform::win32

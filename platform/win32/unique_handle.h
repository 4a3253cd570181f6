// One move-only owner for every kind of Windows handle: files, registry keys,
// DDE conversations, LZ handles, COM pointers; with the traits of the kinds
// more than one service holds.
#pragma once

#include <windows.h>

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

// Processes and threads, and the other kernel objects whose calls fail with
// null; CreateFileW's failure is INVALID_HANDLE_VALUE instead.
struct KernelTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
using KernelHandle = UniqueHandle<HANDLE, KernelTraits>;

// A directory search of FindFirstFileW.
struct FindTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE search) { FindClose(search); }
};
using FindHandle = UniqueHandle<HANDLE, FindTraits>;

struct KeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
using UniqueKey = UniqueHandle<HKEY, KeyTraits>;

// One reference to a COM object.
template <typename Interface>
struct ComTraits {
  static Interface* Invalid() { return nullptr; }
  static void Close(Interface* object) { object->Release(); }
};
template <typename Interface>
using ComPtr = UniqueHandle<Interface*, ComTraits<Interface>>;

}  // namespace platform::win32

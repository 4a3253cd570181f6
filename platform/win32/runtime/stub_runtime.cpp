// The setup stub is built without exceptions. libstdc++ still reaches its
// throwing helpers from the few containers we use, and those drag in the whole
// unwinding, exception and demangling machinery (about 170 KB). Here they are
// replaced by versions that stop the program: in the stub none of them can
// happen short of running out of memory, and then nothing better can be done.
//
// Linked into the setup stub and the demo product's uninstaller, never into
// the test programs, which use real exceptions.
#include <bits/functexcept.h>

#include <cstdlib>
#include <new>

namespace {
[[noreturn]] void Fail() { std::abort(); }
}  // namespace

void* operator new(std::size_t size) {
  if (void* p = std::malloc(size ? size : 1)) return p;
  Fail();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace std {
void __throw_bad_alloc() { Fail(); }
void __throw_bad_array_new_length() { Fail(); }
void __throw_bad_cast() { Fail(); }
void __throw_bad_typeid() { Fail(); }
void __throw_bad_exception() { Fail(); }
void __throw_bad_function_call() { Fail(); }
void __throw_logic_error(const char*) { Fail(); }
void __throw_domain_error(const char*) { Fail(); }
void __throw_invalid_argument(const char*) { Fail(); }
void __throw_length_error(const char*) { Fail(); }
void __throw_out_of_range(const char*) { Fail(); }
void __throw_out_of_range_fmt(const char*, ...) { Fail(); }
void __throw_runtime_error(const char*) { Fail(); }
void __throw_range_error(const char*) { Fail(); }
void __throw_overflow_error(const char*) { Fail(); }
void __throw_underflow_error(const char*) { Fail(); }
void __throw_system_error(int) { Fail(); }
}  // namespace std

namespace __gnu_cxx {
// The default terminate handler prints the demangled exception type.
void __verbose_terminate_handler() { Fail(); }
}  // namespace __gnu_cxx

extern "C" void __cxa_pure_virtual() { Fail(); }

// Function-local statics: libstdc++'s guards wait on a lock and throw on
// recursive initialisation, which drags the exception machinery back in. The
// setup has a single thread, so the guard only needs to remember "done".
extern "C" int __cxa_guard_acquire(long long* guard) { return *reinterpret_cast<char*>(guard) == 0; }
extern "C" void __cxa_guard_release(long long* guard) { *reinterpret_cast<char*>(guard) = 1; }
extern "C" void __cxa_guard_abort(long long*) {}

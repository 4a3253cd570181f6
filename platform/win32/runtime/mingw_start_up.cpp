// MinGW's start-up code (crt2.o) names a few helpers that it calls or reads
// before main. The library versions bring along machinery the setup stub never
// uses, about 5.5 KB of the stub with their imports and sections; these are
// the versions that do what the stub needs. Linked into the setup stub only.
//
// crt2.o itself stays: a program started without it, with LTO, makes
// binutils 2.40's ld crash while it writes the base relocations.
#include <windows.h>

#include <cstdlib>

extern "C" {

// Runtime pseudo-relocations patch data that was imported from a DLL without
// dllimport. The linker writes them into this list; the stub imports only
// functions, so the list is empty. Should that ever change, the stub stops at
// once instead of running with unpatched addresses. (The library relocator
// brings the C library's fprintf and a PE section walker along.)
extern char __RUNTIME_PSEUDO_RELOC_LIST__;
extern char __RUNTIME_PSEUDO_RELOC_LIST_END__;
void _pei386_runtime_relocator() {
  if (&__RUNTIME_PSEUDO_RELOC_LIST__ != &__RUNTIME_PSEUDO_RELOC_LIST_END__) std::abort();
}

// Thread-local storage support: a TLS directory, its callback and MinGW's
// per-thread destructor list. The stub has one thread and no thread_local
// objects, so it needs no TLS directory at all; the "force" variables are
// what crt2.o names to pull the library's in.
extern const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback;
const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = nullptr;
int __mingw_initltsdrot_force = 0;
int __mingw_initltsdyn_force = 0;
int __mingw_initltssuo_force = 0;

// The top-level exception filter turns processor exceptions into the C
// library's signals. The stub installs no signal handler, and with none the
// library's filter also passes every exception on to Windows.
LPTOP_LEVEL_EXCEPTION_FILTER __mingw_oldexcpt_handler = nullptr;
LONG WINAPI _gnu_exception_handler(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }

// The math error hook, which the library fills with a report on stderr: the
// stub has no console, and crt2.o installs it only when this flag is 1.
int _MINGW_INSTALL_DEBUG_MATHERR = 0;
int __cdecl _matherr(struct _exception*) { return 0; }
void __mingw_setusermatherr(int(__cdecl*)(struct _exception*)) {}

}  // extern "C"

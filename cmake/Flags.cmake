option(VXR_SANITIZE "Build the host code with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# Warnings as errors for our own code only (third-party targets don't get this).
function(vxr_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
    -Wno-sign-conversion -Werror)
  # GCC 12's object-size warnings misfire on inlined standard containers at -O2
  # and above (stringop-overflow and -overread, restrict, array-bounds on std::vector copies).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT VXR_WINDOWS)
    target_compile_options(${target} PRIVATE
      $<$<NOT:$<CONFIG:Debug>>:-Wno-stringop-overflow -Wno-stringop-overread -Wno-restrict -Wno-array-bounds>)
  endif()
endfunction()

# Code that goes into the setup stub: built for size, without exceptions or RTTI
# (libstdc++'s throwing and demangling machinery alone is bigger than the stub).
# -Oz after the build type's -Os: GCC 12's harder size setting. The frame
# pointer is not kept (GCC for MinGW keeps it by default), and on i686 the
# stack stays aligned to 4 bytes, all that Windows and this code need, instead
# of 16.
#
# The setup stub is optimised at link time, across all its libraries. The
# libraries' objects carry both GCC's intermediate code and ordinary machine
# code ("fat"): the other programs that link them (vxrpack for Windows, the
# tests) link the machine code, since ld reports the same template defined
# twice when one copy comes from intermediate code and the other from an
# object built with exceptions.
set(_vxr_stub_codegen -Oz -fomit-frame-pointer $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>:-mpreferred-stack-boundary=2>)
function(vxr_stub_code target)
  vxr_warnings(${target})
  if(VXR_WINDOWS)
    target_compile_options(${target} PRIVATE ${_vxr_stub_codegen} -fno-exceptions -fno-rtti
      -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -fno-unwind-tables
      -ffat-lto-objects)
    set_property(TARGET ${target} PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)
    # For the executable: the code generated at link time gets the same
    # settings, in one partition (GCC 12 for MinGW stops with an internal error
    # in binds_to_current_def_p when a COMDAT function and its callers land in
    # different partitions, and a program this small gains nothing from more),
    # with a section per function and constant, so that the map file still
    # names them and unused ones still go.
    target_link_options(${target} PRIVATE ${_vxr_stub_codegen} -flto-partition=one
      -ffunction-sections -fdata-sections)
  endif()
endfunction()

if(VXR_WINDOWS)
  add_link_options($<$<NOT:$<BOOL:$<TARGET_PROPERTY:INTERPROCEDURAL_OPTIMIZATION>>>:-fno-lto>)
endif()

if(VXR_SANITIZE AND NOT VXR_WINDOWS)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

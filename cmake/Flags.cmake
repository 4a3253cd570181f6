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
function(vxr_stub_code target)
  vxr_warnings(${target})
  if(VXR_WINDOWS)
    target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti -ffunction-sections
      -fdata-sections -fno-asynchronous-unwind-tables -fno-unwind-tables)
  endif()
endfunction()

if(VXR_SANITIZE AND NOT VXR_WINDOWS)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

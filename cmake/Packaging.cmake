# What `cmake --install` puts in place and what CPack packs (scripts/package.sh):
# from a host build, vxrpack, the shipped stub and the manual page, as the
# Debian package vxr-setup-tools; from the win32 build, the Windows zip.
# vxrpack finds the stub from its own place (tools/vxrpack/stub_location.h),
# so it relies on the layout below: bin/ and share/vxr-setup/, or
# side by side in the zip.
set(CPACK_PACKAGE_NAME vxr-setup-tools)
set(CPACK_PACKAGE_VENDOR "Ambretton Software")
set(CPACK_PACKAGE_CONTACT "Ambretton Software <setup@ambretton.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "builds setup packages of Tarvo's Screen Recorder (VXR Setup)")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/build/packages)

if(VXR_WINDOWS)
  install(TARGETS vxrpack setup-stub RUNTIME DESTINATION .)
  # The README's walk-through, for those who get the zip without the sources.
  file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
  string(FIND "${readme}" "\n## Packing your own product" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "README.md has no section \"Packing your own product\" for the zip")
  endif()
  math(EXPR start "${start} + 1")
  string(SUBSTRING "${readme}" ${start} -1 section)
  string(FIND "${section}" "\n## " end)
  string(SUBSTRING "${section}" 0 ${end} section)
  string(REPLACE "\n" "\r\n" section "${section}\n")
  file(WRITE ${CMAKE_BINARY_DIR}/PACKING.txt "${section}")
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
  install(FILES ${CMAKE_BINARY_DIR}/PACKING.txt DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  math(EXPR bits "8 * ${CMAKE_SIZEOF_VOID_P}")
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win${bits})
else()
  # Checked first, so that a missing stub leaves nothing half-installed.
  install(CODE "
    if(NOT EXISTS \"${VXR_STUB}\")
      message(FATAL_ERROR \"No setup stub at ${VXR_STUB} to install: build it first with\\n\"
                          \"  cmake --preset win32 && cmake --build --preset win32 --target setup-stub\")
    endif()")
  install(TARGETS vxrpack RUNTIME DESTINATION bin)
  install(FILES ${VXR_STUB} DESTINATION share/vxr-setup)
  install(FILES ${VXRPACK_MANUAL} DESTINATION share/man/man1)

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PACKAGE_DESCRIPTION "vxrpack compresses a product's eight files and appends them to the
setup stub, a single-file Windows setup program (i686) installed with
it. It also lists and checks built packages, and compresses and expands
single files in the SZDD format.")
  set(CPACK_STRIP_FILES ON)
  # Debian's own files (copyright, changelog) and the manual page compressed.
  set(CPACK_VXR_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/debian-files.cmake)
endif()
include(CPack)

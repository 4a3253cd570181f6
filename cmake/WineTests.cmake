# Tests of the Windows builds run under Wine. One prefix and one Xvfb display
# per ctest run, made by the fixture in tests/wine and shared by every test.
set(VXR_WINE_STATE "${CMAKE_BINARY_DIR}/wine" CACHE PATH "Where the test run keeps its Wine prefix")

# vxr_add_wine_test(NAME n COMMAND exe-or-script args... [RESOURCE_LOCK lock])
# A .exe target or path runs through wine; anything else runs as a host command
# with WINEPREFIX, DISPLAY and VXR_WINE (the loader) in its environment.
function(vxr_add_wine_test)
  cmake_parse_arguments(ARG "" "NAME;TIMEOUT" "COMMAND;RESOURCE_LOCK;LABELS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${ARG_NAME}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/run-in-wine.sh ${VXR_WINE_STATE} ${ARG_COMMAND})
  set_tests_properties(${ARG_NAME} PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT ${ARG_TIMEOUT}
                       LABELS "wine;${ARG_LABELS}")
  if(ARG_RESOURCE_LOCK)
    set_tests_properties(${ARG_NAME} PROPERTIES RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
  endif()
endfunction()

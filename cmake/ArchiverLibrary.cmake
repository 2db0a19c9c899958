# pelsok_add_archiver_library(target OUTPUT_NAME file SOURCES ... LIBS ...)
# adds one archiver library we ship: a shared object under the Windows file
# name the back ends load (OUTPUT_NAME, e.g. UNLHA32.DLL or tar32.dll),
# built into bin/ beside the programs and installed into the library
# folder, run path $ORIGIN, only its exported entries visible, and the
# static layers it links (LIBS, private) kept private to it.
function(pelsok_add_archiver_library target)
  cmake_parse_arguments(ARG "" "OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_OUTPUT_NAME OR NOT ARG_SOURCES)
    message(FATAL_ERROR "pelsok_add_archiver_library(${target}): OUTPUT_NAME and SOURCES are needed")
  endif()
  get_filename_component(stem ${ARG_OUTPUT_NAME} NAME_WLE)
  get_filename_component(suffix ${ARG_OUTPUT_NAME} LAST_EXT)
  add_library(${target} SHARED ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${stem}
    PREFIX ""
    SUFFIX "${suffix}"
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    INSTALL_RPATH "${PELSOK_LIBRARY_RPATH}" BUILD_WITH_INSTALL_RPATH ON)
  install(TARGETS ${target} LIBRARY DESTINATION ${PELSOK_LIBRARY_DIR})
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL)
endfunction()

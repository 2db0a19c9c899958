# Adds every direct subfolder of the current source folder that has a
# CMakeLists.txt, so a new archiver, test group or benchmark is one folder.
# pelsok_add_subdirs(SKIP a b) leaves out the folders named.
function(pelsok_add_subdirs)
  cmake_parse_arguments(ARG "" "" "SKIP" ${ARGN})
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(child IN_LIST ARG_SKIP)
      continue()
    endif()
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

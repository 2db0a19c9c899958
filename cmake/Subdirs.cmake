# Adds every direct subfolder of the current source folder that has a
# CMakeLists.txt, so a new archiver, test group or benchmark is one folder.
# pelsok_add_subdirs(SKIP a b) leaves out the folders named.
# pelsok_add_subdirs(LABELLED) gives every test of a folder (and of the folders
# below it) the folder's name as a ctest label, beside the labels the tests set
# themselves (slow, install, ...): tests/winplace -> winplace. A new test folder is
# labelled without a word in it. ctest gives a folder's label only to the tests
# that run in that folder's build folder, so a test with a WORKING_DIRECTORY of
# its own names the label itself (PROPERTIES LABELS backends); tools/check-labels.sh
# fails on a test without any.
function(pelsok_add_subdirs)
  cmake_parse_arguments(ARG "LABELLED" "" "SKIP" ${ARGN})
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(child IN_LIST ARG_SKIP)
      continue()
    endif()
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
      if(ARG_LABELLED)
        set_property(DIRECTORY ${child} APPEND PROPERTY LABELS ${child})
      endif()
    endif()
  endforeach()
endfunction()

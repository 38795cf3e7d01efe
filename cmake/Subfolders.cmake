# Adds every subfolder of the current folder that has a CMakeLists.txt, so
# that each part of the program keeps its tests, benchmarks or tools in a
# folder of its own.
macro(lumetra_add_subfolders)
  file(GLOB _lumetra_subdirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(_lumetra_dir IN LISTS _lumetra_subdirs)
    if(IS_DIRECTORY ${_lumetra_dir} AND EXISTS ${_lumetra_dir}/CMakeLists.txt)
      add_subdirectory(${_lumetra_dir})
    endif()
  endforeach()
endmacro()

# Collects the sources of a folder: the portable ones and those named for the
# platform being built (*_windows.cpp on Windows, *_linux.cpp and *_posix.cpp
# on Linux). Platform code lives only in files named so.
function(lumetra_platform_sources out dir)
  file(GLOB all CONFIGURE_DEPENDS "${dir}/*.cpp")
  set(result "")
  foreach(f IN LISTS all)
    get_filename_component(name "${f}" NAME_WE)
    if(name MATCHES "_windows$")
      if(WIN32)
        list(APPEND result "${f}")
      endif()
    elseif(name MATCHES "_(linux|posix)$")
      if(NOT WIN32)
        list(APPEND result "${f}")
      endif()
    else()
      list(APPEND result "${f}")
    endif()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

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

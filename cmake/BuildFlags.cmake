# The flags every target of ours is built with, on one INTERFACE target:
# warnings, the sanitizers of a LUMETRA_SANITIZE build, and the project's
# root as the one include folder ("hid/hid_device.h", "tests/support/...").
#
# lumetra_link_build_flags(), called once all folders are added, links it to
# every library and program defined under the project's folders, so that
# no target can be added without it. GoogleTest built from source for the
# cross build lives outside them and keeps its own flags.
add_library(lumetra_build_flags INTERFACE)
target_include_directories(lumetra_build_flags INTERFACE ${PROJECT_SOURCE_DIR})
if(MSVC)
  target_compile_options(lumetra_build_flags INTERFACE /W3)
else()
  target_compile_options(lumetra_build_flags INTERFACE $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra>)
endif()
if(LUMETRA_SANITIZE)
  target_compile_options(lumetra_build_flags INTERFACE
    $<$<COMPILE_LANGUAGE:C,CXX>:-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined>)
  target_link_options(lumetra_build_flags INTERFACE -fsanitize=address,undefined)
endif()

function(lumetra_link_build_flags folder)
  get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      target_link_libraries(${target} PRIVATE lumetra_build_flags)
    endif()
  endforeach()
  get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
  foreach(subfolder IN LISTS subfolders)
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${subfolder} NORMALIZE ours)
    if(ours)
      lumetra_link_build_flags(${subfolder})
    endif()
  endforeach()
endfunction()

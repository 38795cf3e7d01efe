# Test programs of the Windows cross build, run under Wine (scripts/wine-test).
#
# One test program per call:
#   lumetra_windows_tests(NAME SOURCES... [LIBRARIES libs...])
# Keep the names distinctive: Wine runs its built-in program instead of one
# that shares its name.
function(lumetra_windows_tests name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "LIBRARIES")
  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} GTest::gtest_main)
  # Listing the tests runs the program under Wine: at test time, with room
  # for a cold Wine prefix. A test that hangs (a deadlock) fails by its timeout.
  gtest_discover_tests(${name} TEST_PREFIX "windows." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES LABELS wine TIMEOUT 120 ENVIRONMENT "LUMETRA_WINE_HID_BUS=on")
endfunction()

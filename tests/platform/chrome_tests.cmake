# The chrome tests: menu bar, pop-up menus, input panel, navigation bar.
fernvale_test(platform_chrome_tests
  SOURCES chrome_support.cpp chrome_test.cpp menubar_test.cpp sip_test.cpp
    wm_support.cpp gdi_helpers.cpp
  LIBS fernvale_platform platform_test_resources PNG::PNG)
target_compile_definitions(platform_chrome_tests PRIVATE
  FERNVALE_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/golden"
  FERNVALE_GOLDEN_ACTUAL_DIR="${CMAKE_CURRENT_BINARY_DIR}/golden-actual")

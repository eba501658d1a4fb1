# The real window under Xvfb: started, closed from the keyboard, its data file read back.
if(TARGET tillane)
  add_test(NAME window_smoke
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/smoke/window_smoke.sh $<TARGET_FILE:tillane>)
  set_tests_properties(window_smoke PROPERTIES
    SKIP_RETURN_CODE 77
    TIMEOUT 150
    ENVIRONMENT "TZ=EST5EDT,M3.2.0,M11.1.0")
  # The window's size under a window manager: shrinking back, maximizing, ten restarts.
  add_test(NAME window_size_smoke
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/smoke/window_size_smoke.sh $<TARGET_FILE:tillane>)
  set_tests_properties(window_size_smoke PROPERTIES
    SKIP_RETURN_CODE 77
    TIMEOUT 300
    ENVIRONMENT "TZ=EST5EDT,M3.2.0,M11.1.0")
  # The window and its dialogs as a screen reader reads them, through AT-SPI.
  add_test(NAME accessibility_tree
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/smoke/accessibility_smoke.sh $<TARGET_FILE:tillane>)
  set_tests_properties(accessibility_tree PROPERTIES
    SKIP_RETURN_CODE 77
    TIMEOUT 200
    ENVIRONMENT "TZ=EST5EDT,M3.2.0,M11.1.0")
  # SIGTERM, SIGHUP and SIGINT close the window as its close box does.
  add_test(NAME end_signal_smoke
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/smoke/end_signal_smoke.sh $<TARGET_FILE:tillane>)
  set_tests_properties(end_signal_smoke PROPERTIES
    SKIP_RETURN_CODE 77
    TIMEOUT 200
    ENVIRONMENT "TZ=EST5EDT,M3.2.0,M11.1.0")
endif()

# The Debian package made from this build, unpacked and checked with the validators.
if(TARGET tillane AND EXISTS ${PROJECT_SOURCE_DIR}/packaging/CMakeLists.txt)
  add_test(NAME package_contents
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/package/check_package.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(package_contents PROPERTIES
    SKIP_RETURN_CODE 77
    TIMEOUT 300
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endif()

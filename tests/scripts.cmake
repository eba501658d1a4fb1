# The real window under Xvfb: started, closed from the keyboard, its data file read back.
if(TARGET tillane)
  add_test(NAME window_smoke
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/smoke/window_smoke.sh $<TARGET_FILE:tillane>)
  set_tests_properties(window_smoke PROPERTIES
    SKIP_RETURN_CODE 77
    TIMEOUT 150
    ENVIRONMENT "TZ=EST5EDT,M3.2.0,M11.1.0")
endif()

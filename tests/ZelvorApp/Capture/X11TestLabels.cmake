# Read by CTest after the discovered tests of capture_x11_tests were added.
if(capture_x11_tests_TESTS)
    set_tests_properties(${capture_x11_tests_TESTS} PROPERTIES LABELS "integration;x11")
endif()

# Read by CTest after the discovered tests of longshot_x11_tests were added.
if(longshot_x11_tests_TESTS)
    set_tests_properties(${longshot_x11_tests_TESTS} PROPERTIES LABELS "integration;x11")
endif()

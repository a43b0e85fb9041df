# Read by CTest after the discovered tests of recording_x11_tests were added.
if(recording_x11_tests_TESTS)
    set_tests_properties(${recording_x11_tests_TESTS} PROPERTIES LABELS "integration;x11")
endif()

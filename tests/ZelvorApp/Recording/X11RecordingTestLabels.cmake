# Read by CTest after the discovered tests of the X11 recording programs were added.
foreach(program recording_x11_tests recording_record_tests)
    if(${program}_TESTS)
        set_tests_properties(${${program}_TESTS} PROPERTIES LABELS "integration;x11")
    endif()
endforeach()

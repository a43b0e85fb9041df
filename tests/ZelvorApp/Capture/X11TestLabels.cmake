# Read by CTest after the discovered tests of the X11 programs were added.
foreach(program capture_x11_tests x11_clipboard_tests)
    if(${program}_TESTS)
        set_tests_properties(${${program}_TESTS} PROPERTIES LABELS "integration;x11")
    endif()
endforeach()

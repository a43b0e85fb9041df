# Compiler settings shared by every target of our own.
function(brisklet_configure_target target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        # WORKAROUND: GCC 12 reports impossible overlaps for `"literal" + std::string` at -O2 and
        # above (https://gcc.gnu.org/bugzilla/show_bug.cgi?id=105329); fixed in GCC 13.
        target_compile_options(${target} PRIVATE -Wno-restrict)
        # WORKAROUND: GCC 12 at -O3 flags moves of std::variant/std::optional members that are
        # always initialised (https://gcc.gnu.org/bugzilla/show_bug.cgi?id=105593 and kin); keep
        # the warning visible but do not fail the build on it.
        target_compile_options(${target} PRIVATE -Wno-error=maybe-uninitialized)
    endif()
    if(BRISKLET_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

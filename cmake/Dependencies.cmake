# Third-party libraries, found the way Debian 12 ships them.
find_package(PkgConfig REQUIRED)
find_package(nlohmann_json 3.10 REQUIRED)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
pkg_check_modules(SPNG REQUIRED IMPORTED_TARGET spng)
pkg_check_modules(TURBOJPEG REQUIRED IMPORTED_TARGET libturbojpeg)
find_package(Threads REQUIRED)

if(BRISKLET_BUILD_TESTS)
    find_package(GTest REQUIRED)
endif()
if(BRISKLET_BUILD_BENCHMARKS)
    find_package(benchmark REQUIRED)
endif()

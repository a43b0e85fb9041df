#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
    // Names and calendar arithmetic depend on the local zone; pin it so results are the same on
    // every machine. Tests that need another zone set and restore it themselves.
    setenv("TZ", "UTC", 1);
    tzset();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

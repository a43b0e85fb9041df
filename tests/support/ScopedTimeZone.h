#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

namespace brisklet::testing {

/// Switches the process time zone (a POSIX TZ string) for one test.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) {
            previous_ = old;
        }
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        setenv("TZ", previous_.c_str(), 1);
        tzset();
    }

private:
    std::string previous_ = "UTC";
};

} // namespace brisklet::testing

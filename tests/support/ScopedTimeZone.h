// Sets TZ for a scope and puts the inherited value back (or unsets it, when it was not set).
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace testsupport {

class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const std::string& zone) {
        if (const char* old = std::getenv("TZ")) previous_ = old;
        setenv("TZ", zone.c_str(), 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (previous_) {
            setenv("TZ", previous_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    std::optional<std::string> previous_;
};

}  // namespace testsupport

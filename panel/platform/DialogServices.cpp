#include "DialogServices.h"

#include <cstdio>
#include <utility>

namespace kordavine::platform {

namespace {

struct Sinks {
    MessageSink alert;
    MessageSink log;
    MessageSink release;
};

Sinks& sinks() {
    static Sinks installed;
    return installed;
}

void writeToStandardError(const char* what, std::string_view text) {
    std::fprintf(stderr, "%s: %.*s\n", what, static_cast<int>(text.size()), text.data());
}

}  // namespace

void NSRunAlertPanel(std::string_view message) {
    if (sinks().alert) {
        sinks().alert(message);
    } else {
        writeToStandardError("alert", message);
    }
}

void NSLog(std::string_view line) {
    if (sinks().log) {
        sinks().log(line);
    } else {
        writeToStandardError("log", line);
    }
}

void setAlertSink(MessageSink sink) {
    sinks().alert = std::move(sink);
}
void setLogSink(MessageSink sink) {
    sinks().log = std::move(sink);
}

void traceRelease(std::string_view what) {
    if (sinks().release) sinks().release(what);
}

void setReleaseSink(MessageSink sink) {
    sinks().release = std::move(sink);
}

}  // namespace kordavine::platform

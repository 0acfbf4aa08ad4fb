// The alert panel, the diagnostic log and the release trace of the host process. The host (a
// print dialog, a test) installs the sinks; without one, alerts and log lines go to standard
// error and releases are not traced.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kordavine::platform {

// Shows message in an alert with no title and the toolkit's single default button.
void NSRunAlertPanel(std::string_view message);
// Writes one diagnostic line.
void NSLog(std::string_view line);

using MessageSink = std::function<void(std::string_view)>;
void setAlertSink(MessageSink sink);
void setLogSink(MessageSink sink);

// Objects that give back their references report each one here, by the name of what they held,
// so that the order of release can be seen.
void traceRelease(std::string_view what);
void setReleaseSink(MessageSink sink);

}  // namespace kordavine::platform

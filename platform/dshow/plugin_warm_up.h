#pragma once
// Gets a conversion's media work under way on a thread of its own while the
// rest of the program starts: maps the libraries of libav's plugin (some 170
// of them, a tenth of a second, most of what loading it costs), loads the
// plugins that probing most sources needs and probes the source, if one is
// given, whose discovery is kept for the Open that follows. Call it first:
// it waits for GStreamer to be started, or starts it. The thread joins when
// the returned handle goes.

#include <string>
#include <thread>

namespace dshow {

[[nodiscard]] std::jthread WarmUpFor(std::string source);

}  // namespace dshow

#pragma once
// Makes the media framework usable: starts GStreamer and registers the
// creatable classes (the filter graph, the system device enumerator and the
// capture graph builder).
// Safe to call more than once; call it before the first graph is made.

namespace dshow {

void Initialise();

}  // namespace dshow

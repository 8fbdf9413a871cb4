#pragma once
// Makes the media framework usable: starts GStreamer and registers the
// creatable classes (the filter graph and the system device enumerator).
// Safe to call more than once; call it before the first graph is made.

namespace dshow {

void Initialise();

}  // namespace dshow

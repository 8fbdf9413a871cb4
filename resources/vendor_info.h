#pragma once
// The vendor's addresses: the one place to change them.

// Opened by the Homepage button.
constexpr const char* kVendorHomePage = "https://tarnwick.example/reelcast/";
// Named on the About box's support line, short enough for its one line.
constexpr const char* kVendorSupportAddress = "tarnwick.example/support";

#pragma once
// The vendor's addresses: the one place to change them.

// Opened by the Homepage button.
constexpr const char* kVendorHomePage = "https://reelcast.tarnwick.example/";
// Named on the About box's support line.
constexpr const char* kVendorSupportPage = "https://reelcast.tarnwick.example/support";

#pragma once
// The vendor's addresses: the one place to change them.

// Opened by the Homepage button.
constexpr const char* kVendorHomePage = "https://tarnwick.example/reelcast/";
// Named on the About box's support line, short enough for its one line.
constexpr const char* kVendorSupportAddress = "tarnwick.example/support";
// Opened when the Matroska multiplexer (MKV and MP4 output) is missing.
constexpr const char* kMatroskaDownloadPage = "https://tarnwick.example/reelcast/components/matroska";
// Opened when the DSM multiplexer is missing.
constexpr const char* kDsmDownloadPage = "https://tarnwick.example/reelcast/components/dsm";

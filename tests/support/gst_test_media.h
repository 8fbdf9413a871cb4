#pragma once
// Clips for the conversion tests beyond the shared fixtures, and fresh
// output paths.

#include <string>

namespace gst_test {

// Clips the shared fixtures (tests/support/media_fixtures.h) do not have,
// made once and shared by the test processes of this user (in the
// temporary folder); outputs go to the process's private home.
std::string BusyClip();  // 4 s, 320x240, 25 fps, moving bars (costly to encode), H.264 + AAC, MP4
std::string
TwoAudioTracksClip();  // 2 s picture + two AAC tracks told apart: 44.1 kHz stereo, 48 kHz mono, MKV
std::string LongClip();  // 30 s, 320x240, 25 fps, H.264 + AAC, MKV
// The fixtures' MPEG-4/MP3 AVI with its audio format tag changed to one no
// decoder knows.
std::string UndecodableAudioClip();

// A fresh path in a temporary folder of this process.
std::string OutputPath(const std::string& name);

}  // namespace gst_test

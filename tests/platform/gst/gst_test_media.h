#pragma once
// Clips made at test time with GStreamer, and ffprobe/ffmpeg as independent
// judges of what a conversion wrote.

#include <map>
#include <string>
#include <vector>

namespace gst_test {

// Made once and shared by the test processes of this user (in the
// temporary folder); outputs go to the process's private home.
std::string StandardClip();       // 4 s, 320x240, 25 fps, moving bars, H.264 + 44.1 kHz stereo AAC, MP4
std::string OddSizeClip();        // 2 s, 641x481, 25 fps, H.264 + AAC, MKV
std::string VariableRateClip();   // 2 s of irregular frame times, no declared rate, H.264, MKV
std::string SurroundClip();       // 2 s picture + 96 kHz 5.1 FLAC, MKV
std::string TwoAudioTracksClip(); // 2 s picture + two AAC tracks (440 Hz, then silence), MKV
std::string VideoOnlyClip();      // 2 s, H.264 only, MP4
std::string NotMediaClip();       // random bytes named .mp4
std::string LongClip();           // 30 s, 320x240, 25 fps, H.264 + AAC, MKV

// A fresh path in a temporary folder of this process.
std::string OutputPath(const std::string& name);

struct ProbedStream {
  std::string type;  // "video", "audio"
  std::string codec;
  int width = 0;
  int height = 0;
  int sampleRate = 0;
  int channels = 0;
  double bitRate = 0;  // bits per second, 0 when not stated
  double frameRate = 0;
};

struct Probe {
  bool ok = false;
  std::string error;
  double duration = -1;
  std::vector<ProbedStream> streams;
  const ProbedStream* First(const std::string& type) const;
  int Count(const std::string& type) const;
};

Probe FfProbe(const std::string& path);

// Bytes of the stream's packets divided by the container's duration, in
// bits per second (ffprobe states no bitrate for some containers).
double MeasuredBitrate(const std::string& path, const std::string& type);

// What `ffmpeg -v error -i FILE -f null -` prints: empty for a clean file.
std::string DecodeErrors(const std::string& path);

}  // namespace gst_test

#pragma once
// Small real media files made at test time with GStreamer, in this process.
// Each is made once per user and kept in a temporary folder
// (<tmp>/reelcast-media-<uid>/<version>/), so test processes share them.

#include <string>
#include <utility>
#include <vector>

namespace test_support {

enum class ClipKind {
  Mp4H264Aac,                // 2 s, 320x240, 25 fps, test picture and tone, H.264/AAC
  AviMpeg4Mp3,               // the same in AVI, MPEG-4 part 2/MP3
  MkvVp8Vorbis,              // the same in Matroska, VP8/Vorbis
  Mp4Film,                   // 23.976 fps (24000/1001), 48 frames
  AviOddWidth,               // 321x241, MPEG-4 part 2, no audio
  MkvVariableRate,           // irregular frame times, no declared frame rate
  Mp4Audio96k,               // 96 kHz stereo AAC with the picture
  Mp4Surround,               // 5.1 AAC with the picture
  MkvTwoAudioTracks,         // picture and two Vorbis tracks: a loud tone, then a quiet one
  Mp4AudioOnly,              // AAC only
  Mp4VideoOnly,              // H.264 only
  TextNamedMp4,              // a text file named .mp4
  EmptyMp4,                  // zero bytes
  TruncatedMp4,              // the first half of Mp4H264Aac (its index is lost)
  OddName,                   // Mp4H264Aac under a name with blanks and non-ASCII letters
  StillImage,                // one PNG picture
  Mp4Hd20s,                  // 20 s, 1280x720, 25 fps, H.264/AAC, for benchmarks
  MkvVariableRateWithAudio,  // MkvVariableRate with a Vorbis tone
  AviOddWidthWithAudio,      // AviOddWidth with an MP3 tone
  MkvOneFrameNoRate,         // a single H.264 frame, no declared frame rate
  Mp4TwoMinutes,             // 2 min, 320x240, 25 fps, H.264/AAC: a run long enough to watch
  Mp4FullColour,             // Mp4H264Aac in 4:4:4, as screen recordings are
  WebmRecordedLive,          // MkvVp8Vorbis as WebM written live: no length, no index
};

// The path of the clip, made on first use. Throws std::runtime_error when
// it cannot be made.
std::string Clip(ClipKind kind);

// What a clip was made with.
struct ClipFacts {
  int width = 0;
  int height = 0;
  int frameRateNumerator = 0;
  int frameRateDenominator = 1;
  int frames = 0;
  double seconds = 0;  // of the longest stream
  int videoTracks = 0;
  int audioTracks = 0;
  int sampleRate = 0;
  int channels = 0;
};
ClipFacts FactsOf(ClipKind kind);

// Takes every decoder of the caps (for example "video/x-h264") out of
// automatic use while it lives, as if none were installed.
class DecodersHidden {
 public:
  explicit DecodersHidden(const std::string& caps);
  ~DecodersHidden();
  DecodersHidden(const DecodersHidden&) = delete;
  DecodersHidden& operator=(const DecodersHidden&) = delete;

 private:
  std::vector<std::pair<std::string, unsigned>> ranks_;  // by factory, to give back
};

}  // namespace test_support

#pragma once
// An independent judge of media files: ffprobe for the streams and the
// duration, ffmpeg for decoding errors.

#include <string>
#include <vector>

namespace test_support {

struct ProbedStream {
  std::string codecType;  // "video", "audio", ...
  std::string codecName;  // "h264", "aac", ...
  int width = 0;
  int height = 0;
  std::string displayAspect;  // the shape pictures show at, "16:9"; empty when not given
  double frameRate = 0;       // average frame rate; 0 when ffprobe gives none
  int sampleRate = 0;
  int channels = 0;
  double startTime = 0;  // seconds, the first timestamp
  double duration = -1;  // seconds; -1 when not given
  double bitRate = 0;    // bits per second the container states; 0 when none
};

struct ProbeReport {
  bool ok = false;  // ffprobe ran and read the file
  std::string error;
  double duration = -1;  // of the container, seconds
  double startTime = 0;  // of the container: the earliest stream's start
  std::vector<ProbedStream> streams;

  int CountOf(const std::string& codecType) const;
  // The first stream of the type; a default stream when there is none.
  ProbedStream First(const std::string& codecType) const;
};

// Runs an independent tool to its end (two minutes at most) and gives what
// it printed.
struct ToolOutput {
  bool finished = false;  // it ran and exited normally
  int exitCode = -1;
  std::string out;
  std::string err;
};
ToolOutput RunTool(const std::string& program, const std::vector<std::string>& arguments);

// ffprobe -of json -show_format -show_streams FILE
ProbeReport FfProbe(const std::string& path);

// Bits per second the first stream of the type really takes: its packets'
// bytes over the container's duration (some containers state no bitrate,
// others state the asked one). 0 when there is no such stream.
double MeasuredBitrate(const std::string& path, const std::string& codecType);

// Seconds from the file's start to where the sound of its first audio stream
// starts: the stream's first timestamp, or the end of the silence it opens
// with (a file that plays every stream from its start holds a late start of
// the sound that way). -1 when the file has no audio.
double SoundStart(const std::string& path);

// Seconds from the file's start to where the sound of its first audio
// stream ends, as a player that keeps to the stream's times plays it: its
// last sample louder than silence (a file that ends every stream together
// pads a short sound with silence). -1 when the file has no sound to decode.
double SoundEnd(const std::string& path);

// Seconds from the file's start to where each beep of the first audio stream
// begins, as a player that keeps to the stream's times plays it: a sound
// louder than a tenth of full scale after at least 50 ms below it.
std::vector<double> BeepStarts(const std::string& path);

// Mean loudness of the first audio stream in dB (0 is full scale): about
// -5 for a loud tone, below -30 for a quiet one.
double MeanVolume(const std::string& path);

// Seconds from the file's first packet to the end of its last one, from the
// packets themselves rather than what the container states.
double PacketSpan(const std::string& path);

// Seconds each packet of the first stream of the type ("audio", "video")
// starts at, as the container times it, in the file's order.
std::vector<double> PacketTimes(const std::string& path, const std::string& codecType);

// How alike the first pictures of two files are, as ffmpeg shows them
// (turned as their files say), in dB of PSNR: above 25 for the same picture
// through a lossy encoder, about 10 for unrelated ones; -1 when they cannot be
// compared (different sizes among them).
double FirstPicturePsnr(const std::string& path, const std::string& reference);

// How many pictures of the first video stream differ from the one before
// (ffmpeg's mpdecimate): every picture of a moving source, fewer when
// pictures were shown twice. -1 when ffmpeg cannot read the file.
int DistinctPictures(const std::string& path);

// Seconds from the start of the file to the first picture that differs from
// the one before it, as a player that keeps to the stream's times shows it;
// -1 when none does.
double FirstPictureChange(const std::string& path);

// What `ffmpeg -v error -i FILE -f null -` prints: empty for a clean file.
std::string DecodeErrors(const std::string& path);

}  // namespace test_support

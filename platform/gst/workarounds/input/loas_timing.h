#pragma once
// GStreamer's AAC parser mistimes LATM sound in LOAS frames (as DVB-T2
// broadcasts and ffmpeg's `-mpegts_flags latm` carry AAC in a transport
// stream) where not every frame repeats the stream's configuration:
// - once it has read the first configuration it forgets it again, and
//   drops every frame up to the next one (0.4 s where it comes every 20
//   frames);
// - a frame it keeps after dropping others takes the time of the packet it
//   came in, as if it were that packet's first frame. The decoder counts on
//   from there, so the sound of the whole run plays that many frames early
//   (64 ms) in every writer that keeps the sound's samples together.
// GStreamer 1.22 and 1.26 both have it. libav's LATM decoder cannot take
// the frames without the parser: it wants them one at a time. Registry name
// "loas-timing"; canary InputCanary.LoasTiming.
//
// The parser's input is walked frame by frame here. Each frame it puts out
// is given the time of its packet plus the frames before it there, and the
// first frame with a configuration goes in twice: the copy takes the
// parser's forgetting, so no frame is dropped, and is taken out after it.
// A recording that starts midway still starts with frames the decoder
// cannot decode yet; they are taken out too, up to the first configuration,
// as the decoder would give their times to the frames after them.

#include <gst/gst.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace gst {

class LoasTiming {
 public:
  // What the parser's input becomes: `packet`, stamped `time` (none when
  // unstamped), goes on at the end of the stream walked so far. Returns the
  // bytes to give the parser instead when they differ (the first frame with
  // a configuration doubled).
  std::optional<std::vector<std::uint8_t>> Take(std::span<const std::uint8_t> packet,
                                                GstClockTime time);

  // What the frame the parser puts out from `offset` in its input is.
  struct Frame {
    bool kept = false;          // false: the copy, or before any configuration
    GstClockTime packetTime{};  // the time of the packet it starts in
    unsigned index = 0;         // the frames that start before it there
  };
  // Nothing when the walk did not find a frame there. Frames are asked for
  // in order, as they go on: whatever lies before `offset` is forgotten.
  std::optional<Frame> At(std::uint64_t offset);

  // The parser counts its input from 0 again, as it does at each segment
  // and after a flush: the walk starts afresh, while the doubling done and
  // the configuration the decoder has stay.
  void Rebase();
  // A new stream.
  void Restart();

 private:
  struct Walk {
    bool synced = false;
    std::uint64_t next = 0;            // where the next frame starts, when synced
    std::vector<std::uint8_t> header;  // a header begun in the last packet
  };
  struct Found {
    std::uint64_t at;
    std::size_t size;
    bool configured;  // repeats the stream's configuration
  };
  static std::vector<Found> FramesIn(Walk& walk, std::span<const std::uint8_t> packet,
                                     std::uint64_t at);

  struct Listed {
    bool real;  // not the copy
    bool configured;
    GstClockTime packetTime;
    unsigned index;
  };

  Walk walk_;
  std::uint64_t taken_ = 0;  // bytes of input walked
  bool doubled_ = false;
  GstClockTime lastTime_ = GST_CLOCK_TIME_NONE;
  unsigned lastIndex_ = 0;
  bool configuredWalked_ = false;  // a frame with a configuration was walked
  bool configuredOut_ = false;     // and one went on
  std::deque<std::pair<std::uint64_t, Listed>> frames_;
};

// Where the mend is engaged, keeps the LOAS frames of every AAC parser
// `decodebin` adds from now on in time, as above. Call before the bin starts.
void KeepLoasSoundInTime(GstElement* decodebin);

// Whether the installed parser, given a configuration and frames that use
// it, drops some of those frames.
bool AacParserForgetsLoasConfiguration();

}  // namespace gst

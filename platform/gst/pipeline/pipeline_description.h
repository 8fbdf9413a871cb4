#pragma once
// What one conversion does, as plain data: which streams of the source file
// go where, through which encoder, into which container. ConversionPipeline
// turns it into one running pipeline.

#include <gst/gst.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/gst/gst_handle.h"

namespace gst {

// An element to use: either one made from a factory with properties given
// in GStreamer's string form ("798720", "true", "cbr"), or an element the
// caller already made and configured. A caller's element is shared, not
// copied, so property edits made on it take effect; it must not be floating
// (take ownership with gst_object_ref_sink first) and it serves one run at a
// time.
struct ElementChoice {
  std::string factory;
  std::vector<std::pair<std::string, std::string>> properties;
  ElementPtr element;

  static ElementChoice Make(std::string factory,
                            std::vector<std::pair<std::string, std::string>> properties = {}) {
    ElementChoice choice;
    choice.factory = std::move(factory);
    choice.properties = std::move(properties);
    return choice;
  }
  static ElementChoice Use(GstElement* element) {
    ElementChoice choice;
    choice.element = Borrow(element);
    return choice;
  }
  // The factory's name, also for an element the caller made.
  std::string FactoryName() const;
};

enum class StreamKind { Video, Audio };

// Raw video a branch hands to its encoder (or to the muxer when it has no
// encoder). Zero or empty fields keep what the source has.
struct RawVideo {
  std::string format;  // for example "I420"
  int width = 0;
  int height = 0;
  int framerateNum = 0;  // with framerateDen; 0 keeps the source's timing
  int framerateDen = 1;
};

struct RawAudio {
  int rate = 0;
  int channels = 0;
};

// Encoded packets a branch takes from elsewhere instead of a decoded stream
// of the source: the branch starts with an application source (appsrc) of
// these caps, which `fed` is given once the branch is built; whoever feeds
// it ends the stream there.
struct PacketFeed {
  CapsPtr caps;  // what the packets are, as the muxer is to be asked for them
  std::function<void(GstElement* source)> fed;
};

// Where a branch's encoded packets go instead of into a muxer: called for
// each, in order, on a streaming thread, in the running time of the part of
// the source converted. It may wait.
using PacketSink = std::function<void(GstSample* packet)>;

struct BranchDescription {
  StreamKind kind = StreamKind::Video;
  int streamIndex = 0;  // which stream of this kind in the file; 0 is the first
  // The stream's id as discovery saw it: the decoded pad that carries it
  // feeds the branch, in whatever order the pads appear. Empty: the
  // streamIndex-th pad of the kind does.
  std::string streamId;
  std::optional<ElementChoice> encoder;  // none: the decoded stream goes raw to the muxer
  // Video: the orientation the source declares for its pictures
  // (picture_orientation.h); they are turned upright before everything else.
  std::string orientation;
  RawVideo video;
  RawAudio audio;
  std::optional<PacketFeed> feed;
  PacketSink packets;
  // The first frame the encoder gets at or after this running time is a key
  // frame (and starts its count of frames to the next).
  std::optional<GstClockTime> keyFrameAt;
};

// A stretch of the source, in its own time: from `start` up to `stop`.
struct TimeRange {
  GstClockTime start = 0;
  GstClockTime stop = GST_CLOCK_TIME_NONE;
};

struct PipelineDescription {
  std::string sourcePath;
  std::vector<BranchDescription> branches;
  // None: every branch ends in a sink that discards, no file is written.
  std::optional<ElementChoice> muxer;
  std::string outputPath;
  // Only this stretch of the source is converted (found by an exact seek).
  std::optional<TimeRange> range;
  // Streams of a kind no branch takes are drained as they are, undecoded.
  bool decodeTakenKindsOnly = false;
};

}  // namespace gst

#pragma once
// Where a source's key frames are, as its demuxer's index tells: a segment
// that starts at one is decoded from there, with nothing decoded only to be
// dropped. The source is parsed, never decoded, and each question is a seek
// to the first key frame at or after a time.

#include <gst/gst.h>

#include <condition_variable>
#include <memory>
#include <optional>
#include <string>

#include "platform/gst/gst_handle.h"

namespace gst {

class KeyFrames {
 public:
  // Nothing when the source cannot be parsed or has no picture.
  static std::unique_ptr<KeyFrames> Open(const std::string& path);
  ~KeyFrames();
  KeyFrames(const KeyFrames&) = delete;
  KeyFrames& operator=(const KeyFrames&) = delete;

  // The time of the first key frame of the picture at or after `time`;
  // nothing when none follows.
  std::optional<GstClockTime> From(GstClockTime time);

  // The picture's stored size; 0 when the stream does not tell.
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  KeyFrames() = default;
  // The picture's first buffer once the pipeline has it after a seek.
  std::optional<GstClockTime> Prerolled();
  static void OnPadAdded(GstElement* parser, GstPad* pad, gpointer data);

  ElementPtr pipeline_;
  ElementPtr picture_;               // the sink of the picture's stream
  std::condition_variable exposed_;  // the picture's sink was set
  int width_ = 0;
  int height_ = 0;
};

}  // namespace gst

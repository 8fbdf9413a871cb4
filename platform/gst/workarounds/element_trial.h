#pragma once
// A small pipeline run on the caller's thread to learn how an installed
// element behaves: what is pushed in goes through at once (no queues, a sink
// that never waits), and what reaches the end is kept. An element that reads
// a file itself (a demuxer pulling its bytes) runs on a thread of its own;
// the trial waits for its stream to end.

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gst/gst_handle.h"

namespace gst {

class ElementTrial {
 public:
  ElementTrial();
  ~ElementTrial();
  ElementTrial(const ElementTrial&) = delete;
  ElementTrial& operator=(const ElementTrial&) = delete;

  // A new element of `factory` in the trial; null when it is not installed.
  GstElement* Add(const char* factory);
  // Links `last` to the sink that keeps what reaches it, then plays.
  bool Play(GstElement* last);

  // Starts a stream of `caps` into `pad` (a sink pad of an element added).
  bool Begin(GstPad* pad, GstCaps* caps);
  // A buffer of `bytes` stamped `pts` lasting `duration`.
  bool Push(GstPad* pad, std::vector<std::uint8_t> bytes, GstClockTime pts, GstClockTime duration);
  void End(GstPad* pad);

  // A source of `bytes` that the element linked after it reads as a file,
  // where it likes (pull mode).
  GstElement* AddFile(std::vector<std::uint8_t> bytes);
  // Links the first stream `demuxer` adds to the sink, plays, waits (a few
  // seconds at most) until the run ends, and stops it. Returns whether it
  // ended without an error.
  bool PlayFirstStream(GstElement* demuxer);

  // A buffer that reached the sink: its size and times.
  struct Received {
    std::size_t size;
    GstClockTime pts;
    GstClockTime dts;
    GstClockTime duration;
  };
  const std::vector<Received>& Buffers() const { return buffers_; }

  // Every byte that reached the sink, in order; a writer that seeks back is
  // followed, so these are the bytes of the file it would write.
  const std::vector<std::uint8_t>& Written() const { return written_; }
  // The caps that reached the sink last; null before any.
  GstCaps* ReceivedCaps() const { return caps_.get(); }

 private:
  static GstPadProbeReturn OnReceived(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  static gboolean OnSeekFile(GstAppSrc* source, guint64 offset, gpointer self);
  static void OnReadFile(GstAppSrc* source, guint length, gpointer self);

  ElementPtr pipeline_;
  GstElement* sink_ = nullptr;
  std::vector<std::uint8_t> file_;
  std::size_t readAt_ = 0;  // in file_, on the reader's thread
  std::vector<Received> buffers_;
  std::vector<std::uint8_t> written_;
  std::uint64_t position_ = 0;
  CapsPtr caps_;
};

}  // namespace gst

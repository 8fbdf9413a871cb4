#pragma once
// A small pipeline run on the caller's thread to learn how an installed
// element behaves: what is pushed in goes through at once (no queues, sinks
// that never wait and that, as a file would, let a writer seek back), and
// what reaches each end is kept. An element that reads as from a file (a
// demuxer pulling its input) is served bytes instead, and runs on a thread
// of its own until they are read; one that writes on a thread of its own
// (an aggregator) is waited for at the end.

#include <gst/gst.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/gst/formats/writer_position.h"
#include "platform/gst/gst_handle.h"

namespace gst {

class ElementTrial {
 public:
  // What reached one end of the trial.
  struct Received {
    // Every byte, in order; a writer that seeks back is followed, so these
    // are the bytes of the file it would write.
    std::vector<std::uint8_t> written;
    CapsPtr caps;                       // the last caps
    std::optional<GstSegment> segment;  // the first time segment
    // Each buffer's size and times, in order.
    struct Buffer {
      std::size_t size;
      GstClockTime pts;
      GstClockTime dts;
      GstClockTime duration;
      std::uint64_t clippedStart;  // samples its audio clipping meta drops from its start
    };
    std::vector<Buffer> buffers;
    WriterPosition position;  // where the next bytes go
  };

  ElementTrial();
  ~ElementTrial();
  ElementTrial(const ElementTrial&) = delete;
  ElementTrial& operator=(const ElementTrial&) = delete;

  // A new element of `factory` in the trial; null when it is not installed.
  GstElement* Add(const char* factory);
  // `element`, made elsewhere, in the trial; null when it is null.
  GstElement* Add(ElementPtr element);
  // Links `last` to an end of the trial, then plays. An element whose
  // outputs appear as it reads (a demuxer) has each linked to an end of its
  // own as it appears.
  bool Play(GstElement* last);

  // Starts a stream of `caps` into `pad` (a sink pad of an element added),
  // in a segment of `format`: bytes for what a file's reader would give.
  bool Begin(GstPad* pad, GstCaps* caps, GstFormat format = GST_FORMAT_TIME);
  // A buffer of `bytes` stamped `pts` lasting `duration`.
  bool Push(GstPad* pad, std::vector<std::uint8_t> bytes, GstClockTime pts, GstClockTime duration);
  void End(GstPad* pad);
  // Waits until the end of every stream has reached the ends of the trial;
  // false when the trial failed instead.
  bool Finish();

  // Gives `first` the bytes of a file to read (it may pull them as from a
  // disk), plays with `last` linked as Play does, and waits until the bytes
  // are read through or the trial fails. Returns whether they were.
  bool Read(GstElement* first, GstElement* last, std::vector<std::uint8_t> bytes);

  // The bytes of the first end; empty before any.
  const std::vector<std::uint8_t>& Written() const;
  // The caps that reached the first end last; null before any.
  GstCaps* ReceivedCaps() const;
  // Every end, in the order it was linked. Read them once what was given has
  // gone through (or the trial has ended).
  const std::deque<Received>& Ends() const;

 private:
  struct Sink;
  static GstPadProbeReturn OnReceived(GstPad* pad, GstPadProbeInfo* info, gpointer sink);
  static void OnPadAdded(GstElement* element, GstPad* pad, gpointer self);
  // A new end, linked to `pad`.
  bool Attach(GstPad* pad);
  // Waits until the trial has ended (true) or failed.
  bool AwaitEnd();

  ElementPtr pipeline_;
  std::vector<std::uint8_t> served_;
  std::uint64_t readAt_ = 0;
  // The ends and readAt_, which the elements' threads change; the readers of
  // the ends take it too, so that what those threads wrote is seen.
  mutable std::mutex mutex_;
  std::deque<Received> ends_;
  std::deque<Sink> sinks_;
};

}  // namespace gst

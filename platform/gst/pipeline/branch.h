#pragma once
// One described stream inside the pipeline: a queue, the converters, the
// caps filter with the raw format, the encoder and the link into the muxer
// (or a discarding sink when nothing is written).

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gst/pad_probe.h"
#include "platform/gst/pipeline/pipeline_description.h"
#include "platform/gst/result.h"

namespace gst {

class Branch {
 public:
  explicit Branch(BranchDescription description);
  ~Branch();
  Branch(const Branch&) = delete;
  Branch& operator=(const Branch&) = delete;

  // Makes the elements inside `pipeline` and links them up to `muxer` (or a
  // discarding sink when it is null).
  Result<void> Build(GstBin* pipeline, GstElement* muxer);

  StreamKind kind() const { return description_.kind; }
  int streamIndex() const { return description_.streamIndex; }
  // Whether the branch takes the decoded stream with this id (null when the
  // pad has none) that came index-th among those of its kind.
  bool Takes(const gchar* streamId, int index) const;
  bool attached() const { return attached_.load(); }
  // Whether the branch takes a decoded stream of the source (not packets
  // from elsewhere).
  bool TakesDecoded() const { return !description_.feed; }

  // Feeds the branch from a decoded pad with these caps: fixes the raw
  // format from what the source has and what the encoder needs, then links.
  // Called once, on a streaming thread.
  bool Attach(GstPad* decoded, GstCaps* caps);

  // Ends the stream where it enters the branch; what is already inside goes
  // on to the muxer.
  void End();

  // Running time of the latest data that entered the branch, nanoseconds.
  std::optional<std::int64_t> Position() const;
  // The source's duration, asked upstream of the branch.
  std::optional<std::int64_t> Duration() const;

  // Puts elements the caller owns back as they were given: out of the
  // pipeline and without our request pads. The pipeline must be stopped.
  void Release(GstBin* pipeline);

 private:
  // The converters from the entry queue to the raw caps filter.
  Result<void> BuildVideo(GstBin* pipeline);
  Result<void> BuildAudio(GstBin* pipeline, GstElement* muxer);
  // What follows the raw caps filter, in the order data passes it: the
  // encoder, the repair of its timestamps or the step into running time,
  // the queue and request pad of the muxer (or a discarding sink), and the
  // probe that follows the position.
  Result<void> Finish(GstBin* pipeline, GstElement* muxer);
  // The encoder (and the caps filter a libav video encoder needs) after the
  // raw caps filter; the last element of the chain so far.
  Result<GstElement*> LinkEncoder(GstBin* pipeline, GstElement* muxer);
  // Installs the mends of the encoder's stream, those of its input in the
  // order its sink pad runs them; whether its output timestamps needed, and
  // got, a repair.
  bool MendEncoder();
  void JoinRunningTime(GstElement* tail);
  // Has the encoder make the frame at or after `at` a key frame.
  void AskKeyFrame(GstClockTime at);
  Result<void> LinkIntoMuxer(GstBin* pipeline, GstElement* tail, GstElement* muxer);
  Result<void> LinkIntoDiscard(GstBin* pipeline, GstElement* tail);
  // A branch fed with encoded packets: the application source, then the
  // muxer.
  Result<void> BuildFed(GstBin* pipeline, GstElement* muxer);
  Result<void> LinkIntoPackets(GstBin* pipeline, GstElement* tail);
  static GstFlowReturn OnPacket(GstElement* sink, gpointer data);
  // Links the branch's last pad to muxerPad_.
  Result<void> LinkToEnd(GstPad* out);
  void WatchPosition();
  GstCaps* RawCaps(GstCaps* source) const;
  // Whether sound with these caps can pass the converters to the encoder.
  bool TakesSound(GstCaps* caps) const;

  BranchDescription description_;
  std::string encoderName_;
  ElementPtr head_;         // the queue the decoded pad links to
  ElementPtr filter_;       // the caps filter
  ElementPtr deinterlace_;  // in front of an encoder only
  ElementPtr thinning_;     // drops pictures early for a lower fixed rate
  ElementPtr encoder_;      // may be the caller's
  ElementPtr encoded_;      // caps filter after a libav video encoder
  ElementPtr muxer_;        // to give back request pads
  PadPtr muxerPad_;         // the request pad this branch took
  CapsPtr rawFormats_;      // raw video: the formats readers know; none: any
  std::atomic<bool> attached_{false};
  std::atomic<std::int64_t> position_{-1};
  GstSegment segment_;  // of the data entering, for the position
  std::vector<PadProbe> probes_;
};

}  // namespace gst

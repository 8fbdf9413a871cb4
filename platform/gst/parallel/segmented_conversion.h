#pragma once
// A Windows Media conversion whose picture is encoded in segments side by
// side. Each segment is its own run of the source's picture alone, from an
// exact seek to its first frame up to the next segment's, with a decoder and
// an encoder of its own; up to `workers` of them run at once, and each
// worker takes the next segment in order. The one writer run reads the
// sound from the source and encodes it once, and takes the segments'
// packets joined in order (PacketJoiner) on the output's frame grid.
//
// To its caller it is one run (conversion.h): the writer's end is the run's
// end, and a segment's failure reaches the writer as its own error. Stop
// ends the picture after the packets of the segment being written that
// came before it, so the file holds every frame up to there.

#include <gst/gst.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/gst/parallel/packet_joiner.h"
#include "platform/gst/parallel/segment_plan.h"
#include "platform/gst/pipeline/conversion_pipeline.h"

namespace gst {

class SegmentedConversion final : public Conversion {
 public:
  // `description` has one video branch, with an encoder made from its
  // factory and a fixed frame rate, which `segments` cover.
  SegmentedConversion(PipelineDescription description, std::vector<Segment> segments, int workers,
                      PipelineEventHandler handler);
  ~SegmentedConversion() override;

  Result<void> Start() override;
  StopResult Stop(std::chrono::milliseconds wait = kStopWait) override;
  void EndStreams() override;
  // Frames encoded over all segments, as the time they fill from the start.
  std::optional<std::int64_t> Position() const override;
  std::optional<std::int64_t> Duration() const override;
  std::optional<PipelineEvent::Failure> FirstFailure() const override;

 private:
  // The time of a frame on the output's grid.
  GstClockTime Time(std::uint64_t frame) const;
  // The frames a segment's encoder gets before the segment, to warm up.
  std::uint64_t LeadFrames(std::size_t segment) const;
  PipelineDescription WriterDescription();
  PipelineDescription SegmentDescription(std::size_t segment);
  void Work();
  // Runs one segment to its end; false when the run is to stop.
  bool RunSegment(std::size_t segment);
  void OnPacket(std::size_t segment, GstSample* sample);
  void Feed();
  // Ends the run with this failure, reported by the writer.
  void Fail(const PipelineEvent& event);
  // No segment is started or waited for any more.
  void Halt();

  PipelineDescription description_;
  std::size_t video_ = 0;  // the video branch's place in description_
  std::vector<Segment> segments_;
  int workers_;
  PipelineEventHandler handler_;
  PacketJoiner joiner_;
  std::unique_ptr<ConversionPipeline> writer_;
  ElementPtr feed_;  // the writer's source of joined packets

  std::mutex mutex_;  // guards what follows
  std::condition_variable changed_;
  bool halted_ = false;
  std::size_t next_ = 0;  // the next segment a worker takes
  CapsPtr caps_;          // of the encoded packets
  std::vector<std::thread> threads_;
  std::thread feeder_;
  std::atomic<std::uint64_t> encoded_{0};
  std::optional<StopResult> stopped_;
};

}  // namespace gst

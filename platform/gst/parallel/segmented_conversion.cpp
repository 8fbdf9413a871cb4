#include "platform/gst/parallel/segmented_conversion.h"

#include <gst/app/gstappsrc.h>

#include <algorithm>

#include "platform/gst/element_maker.h"
#include "platform/gst/pipeline/pipeline_errors.h"
#include "platform/gst/pipeline/running_time.h"
#include "platform/threads/thread_order.h"

namespace gst {

namespace {

// Packets of segments ahead of the one being written wait in no more than
// this; at the bitrates of Windows Media profiles a segment is a few
// hundred kilobytes to a few megabytes.
constexpr std::size_t kHeldBytes = std::size_t{32} * 1024 * 1024;

// Each segment after the first starts its encoder this long before its
// first frame, on frames whose packets are dropped: a new encoder's rate
// control spends several times a frame's share on its first pictures and
// then pays that back, and this way it has done both when the segment
// starts. Half a second left 720p segments 7-12 % under their bitrate; two
// seconds bring them within 4 %.
constexpr GstClockTime kWarmUp = 2 * GST_SECOND;

ElementChoice CopyOf(const ElementChoice& choice) {
  if (choice.element) return ElementChoice::Use(choice.element.get());
  return ElementChoice::Make(choice.factory, choice.properties);
}

// What a branch does with the source, without where its packets go.
BranchDescription CopyOf(const BranchDescription& branch) {
  BranchDescription copy;
  copy.kind = branch.kind;
  copy.streamIndex = branch.streamIndex;
  copy.streamId = branch.streamId;
  if (branch.encoder) copy.encoder = CopyOf(*branch.encoder);
  copy.orientation = branch.orientation;
  copy.video = branch.video;
  copy.audio = branch.audio;
  return copy;
}

// What the encoder's packets may be, for the writer to take them.
CapsPtr EncodedCaps(const ElementChoice& encoder) {
  Result<ElementPtr> made = MakeElement(encoder);
  if (!made) return CapsPtr(gst_caps_new_any());
  const PadPtr out(gst_element_get_static_pad(made->get(), "src"));
  return CapsPtr(out ? gst_pad_get_pad_template_caps(out.get()) : gst_caps_new_any());
}

}  // namespace

SegmentedConversion::SegmentedConversion(PipelineDescription description,
                                         std::vector<Segment> segments, int workers,
                                         PipelineEventHandler handler)
    : description_(std::move(description)),
      segments_(std::move(segments)),
      workers_(std::max(1, workers)),
      handler_(std::move(handler)),
      joiner_(segments_.size(), kHeldBytes) {
  for (std::size_t i = 0; i < description_.branches.size(); ++i)
    if (description_.branches[i].kind == StreamKind::Video) video_ = i;
}

SegmentedConversion::~SegmentedConversion() {
  Halt();
  writer_.reset();  // a writer still busy finishes on a thread of its own
  if (feeder_.joinable()) feeder_.join();
  for (std::thread& worker : threads_) worker.join();
}

PipelineDescription SegmentedConversion::WriterDescription() {
  PipelineDescription writer;
  writer.sourcePath = description_.sourcePath;
  writer.outputPath = description_.outputPath;
  if (description_.muxer) writer.muxer = CopyOf(*description_.muxer);
  writer.decodeTakenKindsOnly = true;
  for (std::size_t i = 0; i < description_.branches.size(); ++i) {
    const BranchDescription& branch = description_.branches[i];
    if (i != video_) {
      writer.branches.push_back(CopyOf(branch));
      continue;
    }
    BranchDescription fed;
    fed.kind = StreamKind::Video;
    fed.streamIndex = branch.streamIndex;
    fed.feed = PacketFeed{EncodedCaps(*branch.encoder),
                          [this](GstElement* source) { feed_ = Borrow(source); }};
    writer.branches.push_back(std::move(fed));
  }
  return writer;
}

PipelineDescription SegmentedConversion::SegmentDescription(std::size_t segment) {
  PipelineDescription run;
  run.sourcePath = description_.sourcePath;
  run.decodeTakenKindsOnly = true;
  BranchDescription video = CopyOf(description_.branches[video_]);
  const std::uint64_t lead = LeadFrames(segment);
  const Segment& range = segments_[segment];
  run.range = TimeRange{Time(range.firstFrame - lead), range.stop};
  // Half a frame early, so that the stamp's rounding cannot miss it.
  if (lead > 0) video.keyFrameAt = Time(lead) - (Time(lead) - Time(lead - 1)) / 2;
  video.packets = [this, segment](GstSample* packet) { OnPacket(segment, packet); };
  run.branches.push_back(std::move(video));
  return run;
}

GstClockTime SegmentedConversion::Time(std::uint64_t frame) const {
  const RawVideo& video = description_.branches[video_].video;
  return FrameTime(frame, video.framerateNum, video.framerateDen);
}

std::uint64_t SegmentedConversion::LeadFrames(std::size_t segment) const {
  if (segment == 0) return 0;
  const RawVideo& video = description_.branches[video_].video;
  const std::uint64_t warmUp =
      gst_util_uint64_scale_ceil(kWarmUp, static_cast<guint64>(video.framerateNum),
                                 static_cast<guint64>(video.framerateDen) * GST_SECOND);
  return std::min(warmUp, segments_[segment].firstFrame);
}

Result<void> SegmentedConversion::Start() {
  writer_ = std::make_unique<ConversionPipeline>(WriterDescription(), handler_);
  if (Result<void> started = writer_->Start(); !started) return started;
  if (!feed_) return Reason{"The picture has no way into the container."};
  feeder_ = std::thread([this] { Feed(); });
  const auto count = std::min<std::size_t>(static_cast<std::size_t>(workers_), segments_.size());
  for (std::size_t i = 0; i < count; ++i) threads_.emplace_back([this] { Work(); });
  return {};
}

void SegmentedConversion::Work() {
  while (true) {
    std::size_t segment = 0;
    {
      std::lock_guard lock(mutex_);
      if (halted_ || next_ >= segments_.size()) return;
      segment = next_++;
    }
    if (!RunSegment(segment)) return;
  }
}

bool SegmentedConversion::RunSegment(std::size_t segment) {
  std::optional<PipelineEvent> end;
  ConversionPipeline run(SegmentDescription(segment), [this, &end](const PipelineEvent& event) {
    std::lock_guard lock(mutex_);
    end = event;
    changed_.notify_all();
  });
  if (Result<void> started = run.Start(); !started) {
    Fail({PipelineEvent::Kind::Error,
          run.FirstFailure().value_or(PipelineEvent::Failure::Other),
          started.error(),
          {}});
    return false;
  }
  bool halted = false;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return end.has_value() || halted_; });
    halted = halted_;
  }
  run.Stop();
  if (halted) return false;
  if (end->kind == PipelineEvent::Kind::Error) {
    Fail(*end);
    return false;
  }
  joiner_.Finish(segment);
  return true;
}

void SegmentedConversion::OnPacket(std::size_t segment, GstSample* sample) {
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  if (!buffer) return;
  const Segment& range = segments_[segment];
  const RawVideo& video = description_.branches[video_].video;
  // The packet's frame of the segment, from its running time since the
  // warm-up's start (an encoder may move its stamps and segment alike: by
  // 1000 hours in GStreamer 1.26); the rate element may add one at the end
  // that the next segment starts with.
  const GstSegment* stamped = gst_sample_get_segment(sample);
  GstClockTime time = GST_BUFFER_PTS(buffer);
  if (stamped) time = RunningTimeOf(*stamped, time);
  if (!GST_CLOCK_TIME_IS_VALID(time)) time = 0;
  const std::uint64_t counted =
      gst_util_uint64_scale_round(time, static_cast<guint64>(video.framerateNum),
                                  static_cast<guint64>(video.framerateDen) * GST_SECOND);
  const std::uint64_t lead = LeadFrames(segment);
  if (counted < lead || counted - lead >= range.frames) return;
  const std::uint64_t frame = counted - lead;
  {
    std::lock_guard lock(mutex_);
    if (!caps_ && gst_sample_get_caps(sample))
      caps_ = CapsPtr(gst_caps_ref(gst_sample_get_caps(sample)));
  }
  // A new buffer around the same memory, stamped on the output's grid.
  BufferPtr packet(gst_buffer_copy(buffer));
  const std::uint64_t at = range.firstFrame + frame;
  GST_BUFFER_PTS(packet.get()) = Time(at);
  GST_BUFFER_DTS(packet.get()) = Time(at);
  GST_BUFFER_DURATION(packet.get()) = Time(at + 1) - Time(at);
  encoded_.fetch_add(1);
  joiner_.Add(segment, std::move(packet));
}

void SegmentedConversion::Feed() {
  GstAppSrc* source = GST_APP_SRC(feed_.get());
  bool described = false;
  while (std::optional<PacketJoiner::Packet> packet = joiner_.Next()) {
    if (!described) {
      CapsPtr caps;
      {
        std::lock_guard lock(mutex_);
        if (caps_) caps = CapsPtr(gst_caps_ref(caps_.get()));
      }
      gst_app_src_set_caps(source, caps.get());
      described = true;
    }
    // The writer's thread takes it through the source's queue (thread_order.h).
    threads::ReleaseState(packet->buffer.get());
    // Refused once the writer has ended or is shutting down.
    if (gst_app_src_push_buffer(source, packet->buffer.release()) != GST_FLOW_OK) {
      Halt();
      break;
    }
  }
  gst_app_src_end_of_stream(source);
}

void SegmentedConversion::Fail(const PipelineEvent& event) {
  {
    std::lock_guard lock(mutex_);
    if (halted_) return;  // a stop or an earlier failure ends the run
  }
  // Told before the picture ends, so that the writer ends with the failure.
  PostFailure(feed_.get(), event.failure, event.message);
  Halt();
}

void SegmentedConversion::Halt() {
  {
    std::lock_guard lock(mutex_);
    halted_ = true;
    changed_.notify_all();
  }
  joiner_.Stop();
}

Conversion::StopResult SegmentedConversion::Stop(std::chrono::milliseconds wait) {
  if (stopped_) return *stopped_;
  Halt();
  stopped_ = writer_ ? writer_->Stop(wait) : StopResult::Finished;
  if (feeder_.joinable()) feeder_.join();
  for (std::thread& worker : threads_) worker.join();
  threads_.clear();
  return *stopped_;
}

void SegmentedConversion::EndStreams() {
  Halt();
  if (writer_) writer_->EndStreams();
}

std::optional<std::int64_t> SegmentedConversion::Position() const {
  const std::uint64_t frames = encoded_.load();
  if (frames == 0) return std::nullopt;
  return static_cast<std::int64_t>(Time(frames));
}

std::optional<std::int64_t> SegmentedConversion::Duration() const {
  if (segments_.empty()) return std::nullopt;
  return static_cast<std::int64_t>(segments_.back().stop);
}

std::optional<PipelineEvent::Failure> SegmentedConversion::FirstFailure() const {
  return writer_ ? writer_->FirstFailure() : std::nullopt;
}

}  // namespace gst

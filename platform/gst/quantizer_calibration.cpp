#include "platform/gst/quantizer_calibration.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <optional>
#include <string_view>

#include "platform/gst/element_maker.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pad_probe.h"
#include "platform/gst/quantizer_estimate.h"

namespace gst {

namespace {

// Spread over the encoder's range, so that the answer is mostly found
// between two of them.
constexpr std::array<int, 3> kCalibrationQuantizers{3, 8, 21};
constexpr int kMinFrames = 10;
// Waiting for a side encode: in steps, and never longer than this (µs).
constexpr GstClockTime kPullStep = 50 * GST_MSECOND;
constexpr gint64 kMaxWait = 10 * G_USEC_PER_SEC;

using SamplePtr = Handle<GstSample, gst_sample_unref>;

// appsrc ! encoder (the main encoder's settings, one fixed quantizer) ! appsink.
class SideEncoder {
 public:
  static std::optional<SideEncoder> Make(GstElement* model, int quantizer) {
    SideEncoder side;
    side.quantizer_ = quantizer;
    std::string error;
    side.pipeline_ = ElementPtr(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr))));
    side.source_ = MakeElement("appsrc", error);
    side.sink_ = MakeElement("appsink", error);
    ElementPtr encoder(GST_ELEMENT(
        gst_object_ref_sink(gst_element_factory_create(gst_element_get_factory(model), nullptr))));
    if (!side.source_ || !side.sink_ || !encoder) return std::nullopt;
    CopyChangedProperties(model, encoder.get());
    g_object_set(encoder.get(), "qmin", quantizer, "qmax", quantizer, nullptr);
    // Never blocking: the frames pushed are the held ones (no copies), and a
    // side pipeline that failed must not stall the main one.
    g_object_set(side.source_.get(), "format", GST_FORMAT_TIME, "block", FALSE, nullptr);
    g_object_set(side.sink_.get(), "sync", FALSE, nullptr);
    gst_bin_add_many(GST_BIN(side.pipeline_.get()), side.source_.get(), encoder.get(),
                     side.sink_.get(), nullptr);
    if (!gst_element_link_many(side.source_.get(), encoder.get(), side.sink_.get(), nullptr))
      return std::nullopt;
    return side;
  }

  SideEncoder() = default;
  SideEncoder(SideEncoder&&) = default;
  SideEncoder& operator=(SideEncoder&&) = default;
  ~SideEncoder() {
    if (pipeline_) gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  }

  void Start(GstCaps* caps) {
    gst_app_src_set_caps(GST_APP_SRC(source_.get()), caps);
    gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
  }
  void Push(GstBuffer* buffer) {
    gst_app_src_push_buffer(GST_APP_SRC(source_.get()), gst_buffer_ref(buffer));
  }
  // Ends the stream; what the frames that came out took. Gives up early on
  // a side pipeline that failed or takes far too long.
  FrameBits Finish() {
    gst_app_src_end_of_stream(GST_APP_SRC(source_.get()));
    FrameBits measured;
    measured.quantizer = quantizer_;
    BusPtr bus(gst_element_get_bus(pipeline_.get()));
    const gint64 deadline = g_get_monotonic_time() + kMaxWait;
    while (!gst_app_sink_is_eos(GST_APP_SINK(sink_.get()))) {
      MessagePtr failure(gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR));
      if (failure || g_get_monotonic_time() > deadline) break;
      SamplePtr sample(gst_app_sink_try_pull_sample(GST_APP_SINK(sink_.get()), kPullStep));
      if (!sample) continue;
      GstBuffer* frame = gst_sample_get_buffer(sample.get());
      const double bits = 8.0 * static_cast<double>(gst_buffer_get_size(frame));
      if (GST_BUFFER_FLAG_IS_SET(frame, GST_BUFFER_FLAG_DELTA_UNIT)) {
        measured.deltaBits += bits;
        ++measured.deltaFrames;
      } else {
        measured.keyBits += bits;
        ++measured.keyFrames;
      }
    }
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    return measured;
  }

 private:
  int quantizer_ = 0;
  ElementPtr pipeline_;
  ElementPtr source_;
  ElementPtr sink_;
};

}  // namespace

class QuantizerCalibration::Impl {
 public:
  Impl(GstElement* encoder, std::uint32_t targetBitrate, std::vector<SideEncoder> sides)
      : encoder_(Borrow(encoder)), target_(targetBitrate), sides_(std::move(sides)) {}

  void Probe(GstPad* raw, GstElement* hold) {
    PadPtr held(gst_element_get_static_pad(hold, "src"));
    // Holding: nothing passes the hold queue until the quantizer is set.
    block_ = PadProbe(held.get(), GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM,
                      [](GstPad*, GstPadProbeInfo*, gpointer) { return GST_PAD_PROBE_OK; },
                      nullptr, nullptr);
    // A serialized query (an allocation query ahead of the first frame)
    // would wait behind the held data and stall the frames the calibration
    // needs; while holding, such queries go unanswered and upstream
    // allocates on its own.
    PadPtr entry(gst_element_get_static_pad(hold, "sink"));
    queries_ = PadProbe(entry.get(), GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM,
                        [](GstPad*, GstPadProbeInfo* info, gpointer data) {
                          const bool holding = !static_cast<Impl*>(data)->done_;
                          return holding && GST_QUERY_IS_SERIALIZED(GST_PAD_PROBE_INFO_QUERY(info))
                                     ? GST_PAD_PROBE_DROP
                                     : GST_PAD_PROBE_OK;
                        },
                        this, nullptr);
    raw_ = Borrow(raw);
    watch_ = PadProbe(raw,
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                   GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      &Impl::OnRaw, this, nullptr);
  }

  // Removes the probes first: they point at this object.
  ~Impl() {
    watch_.Remove();
    queries_.Remove();
    block_.Remove();
  }

 private:
  static GstPadProbeReturn OnRaw(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto& self = *static_cast<Impl*>(data);
    if (self.done_) return GST_PAD_PROBE_OK;
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
      if (self.started_)
        for (SideEncoder& side : self.sides_) side.Push(GST_PAD_PROBE_INFO_BUFFER(info));
      if (++self.frames_ >= self.limit_) self.Finish();
      return GST_PAD_PROBE_OK;
    }
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS && !self.started_) {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      self.Begin(caps);
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_EOS) {
      self.Finish();
    }
    return GST_PAD_PROBE_OK;
  }

  void Begin(GstCaps* caps) {
    gint num = 0;
    gint den = 0;
    if (gst_structure_get_fraction(gst_caps_get_structure(caps, 0), "framerate", &num, &den) &&
        num > 0 && den > 0) {
      fpsNum_ = num;
      fpsDen_ = den;
    }
    limit_ = std::clamp(static_cast<int>(std::lround(double(fpsNum_) / fpsDen_)), kMinFrames,
                        kMaxFrames);
    for (SideEncoder& side : sides_) side.Start(caps);
    started_ = true;
  }

  // Frames in a group of one key frame and its delta frames: the encoder's
  // key frame distance, or the whole source when it is shorter.
  double GroupFrames() const {
    gint gopSize = 0;
    g_object_get(encoder_.get(), "gop-size", &gopSize, nullptr);
    double group = gopSize > 0 ? gopSize : 0;
    gint64 duration = 0;
    if (gst_pad_query_duration(raw_.get(), GST_FORMAT_TIME, &duration) && duration > 0) {
      const double frames = double(duration) / GST_SECOND * fpsNum_ / fpsDen_;
      if (group <= 0 || frames < group) group = frames;
    }
    return group > 0 ? group : limit_;
  }

  void Finish() {
    done_ = true;
    if (started_) {
      std::vector<FrameBits> measured;
      for (SideEncoder& side : sides_) measured.push_back(side.Finish());
      const double target = static_cast<double>(target_) * fpsDen_ / fpsNum_;
      const int quantizer = QuantizerFor(target, GroupFrames(), measured);
      g_object_set(encoder_.get(), "qmin", quantizer, "qmax", quantizer, nullptr);
    }
    block_.Remove();
  }

  ElementPtr encoder_;
  std::uint32_t target_;
  std::vector<SideEncoder> sides_;
  PadPtr raw_;
  gint fpsNum_ = 25;
  gint fpsDen_ = 1;
  int limit_ = kMaxFrames;
  int frames_ = 0;
  bool started_ = false;
  std::atomic<bool> done_{false};
  PadProbe block_;
  PadProbe queries_;
  PadProbe watch_;
};

bool NeedsQuantizerCalibration(GstElement* encoder) {
  GstElementFactory* factory = gst_element_get_factory(encoder);
  if (!factory) return false;
  static constexpr std::string_view kMpegVideoCore[] = {
      "avenc_wmv1",  "avenc_wmv2",       "avenc_msmpeg4",    "avenc_msmpeg4v2",
      "avenc_mpeg4", "avenc_mpeg1video", "avenc_mpeg2video", "avenc_h263",
      "avenc_h263p", "avenc_flv"};
  const std::string_view name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
  return std::ranges::find(kMpegVideoCore, name) != std::end(kMpegVideoCore);
}

QuantizerCalibration::QuantizerCalibration(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
QuantizerCalibration::~QuantizerCalibration() = default;

std::unique_ptr<QuantizerCalibration> QuantizerCalibration::Install(GstPad* raw,
                                                                    GstElement* hold,
                                                                    GstElement* encoder,
                                                                    std::uint32_t targetBitrate) {
  if (targetBitrate == 0 || !NeedsQuantizerCalibration(encoder)) return nullptr;
  std::vector<SideEncoder> sides;
  for (int quantizer : kCalibrationQuantizers) {
    auto side = SideEncoder::Make(encoder, quantizer);
    if (!side) return nullptr;
    sides.push_back(std::move(*side));
  }
  auto impl = std::make_unique<Impl>(encoder, targetBitrate, std::move(sides));
  impl->Probe(raw, hold);
  return std::unique_ptr<QuantizerCalibration>(new QuantizerCalibration(std::move(impl)));
}

}  // namespace gst

#include "platform/gst/matroska_length.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <utility>

#include "platform/gst/element_maker.h"
#include "platform/gst/running_time.h"

namespace gst {

struct MatroskaEnds {
  explicit MatroskaEnds(double nanosecondsPerUnit) : unit(nanosecondsPerUnit) {}
  const double unit;                    // the writer's time scale
  std::atomic<GstClockTime> latest{0};  // the latest end of any stream, in running time
  bool seeked = false;                  // on the output: a segment came since the last buffer
};

namespace {

struct StreamWatch {
  MatroskaEnds* ends;
  GstSegment segment;
};

// The writer takes each stream's running time, so its ends are counted in it.
GstPadProbeReturn OnStream(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& watch = *static_cast<StreamWatch*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) gst_event_copy_segment(event, &watch.segment);
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  const GstClockTime time =
      GST_BUFFER_PTS_IS_VALID(buffer) ? GST_BUFFER_PTS(buffer) : GST_BUFFER_DTS(buffer);
  const GstClockTime start = RunningTimeOf(watch.segment, time);
  if (!GST_CLOCK_TIME_IS_VALID(start)) return GST_PAD_PROBE_OK;
  const GstClockTime end =
      start + (GST_BUFFER_DURATION_IS_VALID(buffer) ? GST_BUFFER_DURATION(buffer) : 0);
  GstClockTime latest = watch.ends->latest.load();
  while (end > latest && !watch.ends->latest.compare_exchange_weak(latest, end)) {
  }
  return GST_PAD_PROBE_OK;
}

// The Duration element as the writer gives it out at the end, after seeking
// back to it: its id (0x4489), a size of 8 and a big-endian double.
constexpr std::array<std::uint8_t, 3> kDurationHead{0x44, 0x89, 0x88};
constexpr gsize kDurationSize = 11;

double ReadDouble(const std::uint8_t* bytes) {
  std::uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = bits << 8 | bytes[i];
  return std::bit_cast<double>(bits);
}

void WriteDouble(std::uint8_t* bytes, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i) bytes[i] = std::uint8_t(bits >> (8 * (7 - i)));
}

GstPadProbeReturn OnWritten(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& ends = *static_cast<MatroskaEnds*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_SEGMENT) ends.seeked = true;
    return GST_PAD_PROBE_OK;
  }
  const bool seeked = std::exchange(ends.seeked, false);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  std::array<std::uint8_t, kDurationSize> element{};
  if (!seeked || gst_buffer_get_size(buffer) != kDurationSize ||
      gst_buffer_extract(buffer, 0, element.data(), kDurationSize) != kDurationSize ||
      !std::equal(kDurationHead.begin(), kDurationHead.end(), element.begin()))
    return GST_PAD_PROBE_OK;
  const double stated = ReadDouble(element.data() + 3);
  const double latest = double(ends.latest.load()) / ends.unit;
  if (!(latest > stated)) return GST_PAD_PROBE_OK;
  WriteDouble(element.data() + 3, latest);
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  gst_buffer_fill(buffer, 0, element.data(), kDurationSize);
  return GST_PAD_PROBE_OK;
}

constexpr auto kDataAndEvents =
    GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM);

}  // namespace

std::unique_ptr<MatroskaLength> MatroskaLength::For(GstElement* muxer) {
  if (FactoryNameOf(muxer) != "matroskamux") return nullptr;
  const PadPtr output(gst_element_get_static_pad(muxer, "src"));
  if (!output) return nullptr;
  return std::unique_ptr<MatroskaLength>(new MatroskaLength(muxer, output.get()));
}

MatroskaLength::MatroskaLength(GstElement* muxer, GstPad* output) {
  gint64 unit = 1000000;
  g_object_get(muxer, "timecodescale", &unit, nullptr);
  ends_ = std::make_unique<MatroskaEnds>(double(unit));
  probes_.emplace_back(output, kDataAndEvents, &OnWritten, ends_.get(), nullptr);
  gst_element_foreach_sink_pad(
      muxer,
      [](GstElement*, GstPad* pad, gpointer self) -> gboolean {
        auto& length = *static_cast<MatroskaLength*>(self);
        auto* watch = new StreamWatch{length.ends_.get(), {}};
        gst_segment_init(&watch->segment, GST_FORMAT_TIME);
        length.probes_.emplace_back(pad, kDataAndEvents, &OnStream, watch,
                                    [](gpointer data) { delete static_cast<StreamWatch*>(data); });
        return TRUE;
      },
      this);
}

MatroskaLength::~MatroskaLength() = default;

}  // namespace gst

#include "platform/gst/workarounds/output/matroska_length.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>

#include "platform/gst/element_maker.h"
#include "platform/gst/formats/writer_position.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pipeline/running_time.h"
#include "platform/gst/workarounds/element_trial.h"
#include "platform/gst/workarounds/registry.h"

namespace gst {

struct MatroskaEnds {
  explicit MatroskaEnds(double nanosecondsPerUnit) : unit(nanosecondsPerUnit) {}
  const double unit;                    // the writer's time scale
  std::atomic<GstClockTime> latest{0};  // the latest end of any stream, in running time
  // On the output (the writer's thread only).
  WriterPosition position;
  std::vector<std::uint8_t> header;  // the file's first bytes, until the Duration is found
  std::optional<std::uint64_t> durationAt;
};

namespace {

constexpr std::uint32_t kSegmentId = 0x18538067;
constexpr std::uint32_t kInfoId = 0x1549A966;
constexpr std::uint32_t kDurationId = 0x4489;
constexpr std::size_t kDurationSize = 8;
// Far beyond where the Duration lies: it opens the segment's information,
// after the seek head, some hundred bytes into the file.
constexpr std::size_t kMostHeader = std::size_t{64} * 1024;

// An EBML number of 1 to `longest` bytes at `at`: its length is told by the
// first byte's leading zeros. An id keeps its length marker; a size drops it.
struct Number {
  std::uint64_t value = 0;
  std::size_t length = 0;
  bool unknown = false;  // a size of all ones: up to the end of what holds it
};

std::optional<Number> ReadNumber(std::span<const std::uint8_t> bytes, std::size_t at,
                                 std::size_t longest, bool keepMarker) {
  if (at >= bytes.size() || bytes[at] == 0) return std::nullopt;
  Number number;
  number.length = std::size_t(std::countl_zero(bytes[at])) + 1;
  if (number.length > longest || number.length > bytes.size() - at) return std::nullopt;
  const std::uint64_t marker = std::uint64_t{1} << (7 * number.length);
  for (std::size_t i = 0; i < number.length; ++i) number.value = number.value << 8 | bytes[at + i];
  if (!keepMarker) {
    number.value -= marker;
    number.unknown = number.value == marker - 1;
  }
  return number;
}

// The writer takes each stream's running time, so its ends are counted in it.
struct StreamWatch {
  MatroskaEnds* ends;
  GstSegment segment;
};

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

// Reads the header from the file's first bytes (the writer gives out its
// EBML header on its own) until the Duration is found in it.
void ReadHeader(MatroskaEnds& ends, std::uint64_t at, GstBuffer* buffer) {
  std::vector<std::uint8_t>& header = ends.header;
  if (at != header.size() || header.size() >= kMostHeader) return;
  const std::size_t taken = std::min(gst_buffer_get_size(buffer), kMostHeader - header.size());
  header.resize(header.size() + taken);
  gst_buffer_extract(buffer, 0, header.data() + at, taken);
  ends.durationAt = MatroskaDurationAt(header);
  if (ends.durationAt) header = {};
}

// The writer writes its header at the start, then seeks back to the
// Duration to give the length once it knows it.
GstPadProbeReturn OnWritten(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& ends = *static_cast<MatroskaEnds*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    ends.position.Follow(GST_PAD_PROBE_INFO_EVENT(info));
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  const gsize size = gst_buffer_get_size(buffer);
  const std::uint64_t at = ends.position.Place(size);
  if (!ends.durationAt) {
    ReadHeader(ends, at, buffer);
    return GST_PAD_PROBE_OK;
  }
  if (*ends.durationAt < at || *ends.durationAt + kDurationSize > at + size)
    return GST_PAD_PROBE_OK;
  const gsize offset = gsize(*ends.durationAt - at);
  std::array<std::uint8_t, kDurationSize> value{};
  if (gst_buffer_extract(buffer, offset, value.data(), kDurationSize) != kDurationSize)
    return GST_PAD_PROBE_OK;
  const double latest = double(ends.latest.load()) / ends.unit;
  if (!(latest > ReadMatroskaDuration(value))) return GST_PAD_PROBE_OK;
  WriteMatroskaDuration(value, latest);
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  gst_buffer_fill(buffer, offset, value.data(), kDurationSize);
  return GST_PAD_PROBE_OK;
}

constexpr auto kDataAndEvents =
    GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM);

}  // namespace

std::optional<std::uint64_t> MatroskaDurationAt(std::span<const std::uint8_t> bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto id = ReadNumber(bytes, at, 4, true);
    if (!id) return std::nullopt;
    const auto size = ReadNumber(bytes, at + id->length, 8, false);
    if (!size) return std::nullopt;
    const std::size_t body = at + id->length + size->length;
    // The Duration is among the segment's information, at its start.
    if (id->value == kSegmentId || id->value == kInfoId) {
      at = body;
      continue;
    }
    if (id->value == kDurationId) {
      if (size->value != kDurationSize || kDurationSize > bytes.size() - body) return std::nullopt;
      return body;
    }
    if (size->unknown || size->value > bytes.size() - body) return std::nullopt;
    at = body + std::size_t(size->value);
  }
  return std::nullopt;
}

double ReadMatroskaDuration(std::span<const std::uint8_t, 8> value) {
  std::uint64_t bits = 0;
  for (const std::uint8_t byte : value) bits = bits << 8 | byte;
  return std::bit_cast<double>(bits);
}

void WriteMatroskaDuration(std::span<std::uint8_t, 8> value, double length) {
  const auto bits = std::bit_cast<std::uint64_t>(length);
  for (std::size_t i = 0; i < value.size(); ++i)
    value[i] = std::uint8_t(bits >> (8 * (value.size() - 1 - i)));
}

bool MatroskaWriterStatesSpans() {
  ElementTrial trial;
  GstElement* muxer = trial.Add("matroskamux");
  if (!muxer) return false;
  // Its input is asked for before it plays, as a run's are: an aggregator
  // started without inputs aggregates while one is being added.
  const PadPtr input(gst_element_request_pad_simple(muxer, "audio_%u"));
  if (!input || !trial.Play(muxer)) return false;
  // A tenth of a second of sound that starts a second into the file.
  const CapsPtr caps(gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE", "layout",
                                         G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT, 8000,
                                         "channels", G_TYPE_INT, 1, nullptr));
  if (!trial.Begin(input.get(), caps.get()) ||
      !trial.Push(input.get(), std::vector<std::uint8_t>(1600, 0), GST_SECOND, GST_SECOND / 10))
    return false;
  trial.End(input.get());
  if (!trial.Finish()) return false;
  const std::vector<std::uint8_t>& file = trial.Written();
  const auto at = MatroskaDurationAt(file);
  if (!at) return false;
  gint64 unit = 0;
  g_object_get(muxer, "timecodescale", &unit, nullptr);
  const double stated = ReadMatroskaDuration(std::span(file).subspan(*at).first<kDurationSize>());
  return stated * double(unit) < double(GST_SECOND);
}

std::unique_ptr<MatroskaLength> MatroskaLength::For(GstElement* muxer) {
  if (FactoryNameOf(muxer) != "matroskamux" || !Engaged(Workaround::MatroskaLength)) return nullptr;
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

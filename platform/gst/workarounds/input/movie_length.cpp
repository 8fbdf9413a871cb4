#include "platform/gst/workarounds/input/movie_length.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/gst/formats/mp4_boxes.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/workarounds/element_trial.h"
#include "platform/gst/workarounds/registry.h"

namespace gst {

namespace {

using Bytes = std::span<std::uint8_t>;

std::uint64_t ReadBig(Bytes bytes, std::size_t at, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = value << 8 | bytes[at + i];
  return value;
}

void WriteBig(Bytes bytes, std::size_t at, std::size_t width, std::uint64_t value) {
  for (std::size_t i = width; i-- > 0; value >>= 8) bytes[at + i] = value & 0xff;
}

struct Box {
  std::string_view type;
  Bytes body;
};

// The boxes that fill `area`, in order, up to the first that does not fit.
std::vector<Box> BoxesIn(Bytes area) {
  std::vector<Box> boxes;
  std::size_t at = 0;
  while (area.size() - at >= 8) {
    std::uint64_t size = ReadBig(area, at, 4);
    std::size_t header = 8;
    if (size == 1) {
      if (area.size() - at < 16) break;
      size = ReadBig(area, at + 8, 8);
      header = 16;
    } else if (size == 0) {
      size = area.size() - at;  // up to the end of what holds it
    }
    if (size < header || size > area.size() - at) break;
    const auto* type = reinterpret_cast<const char*>(area.data() + at + 4);
    boxes.push_back({std::string_view(type, 4), area.subspan(at + header, size - header)});
    at += size;
  }
  return boxes;
}

std::optional<Bytes> ChildOf(Bytes area, std::string_view type) {
  for (const Box& box : BoxesIn(area))
    if (box.type == type) return box.body;
  return std::nullopt;
}

// Where a full box keeps a field that version 0 writes in 4 bytes and
// version 1 in 8, `narrowAt` or `wideAt` into its body.
struct Field {
  std::size_t at;
  std::size_t width;
};

std::optional<Field> VersionedField(Bytes body, std::size_t narrowAt, std::size_t wideAt) {
  if (body.empty() || body[0] > 1) return std::nullopt;
  const Field field = body[0] == 1 ? Field{wideAt, 8} : Field{narrowAt, 4};
  if (body.size() < field.at + field.width) return std::nullopt;
  return field;
}

// A movie or media header: its time scale, and where its length is.
struct Timing {
  std::uint64_t timescale;
  Field length;
};

std::optional<Timing> TimingOf(Bytes header) {
  const std::optional<Field> length = VersionedField(header, 16, 24);
  if (!length) return std::nullopt;
  const std::uint64_t timescale = ReadBig(header, length->at - 4, 4);
  if (timescale == 0) return std::nullopt;
  return Timing{timescale, *length};
}

// The edits a track's list holds: where each starts into its media, in the
// media's time scale; nothing for an empty edit (-1).
std::vector<std::optional<std::uint64_t>> EditStartsOf(Bytes track) {
  const std::optional<Bytes> edits = ChildOf(track, "edts");
  const std::optional<Bytes> list = edits ? ChildOf(*edits, "elst") : std::nullopt;
  if (!list || list->size() < 8 || (*list)[0] > 1) return {};
  const std::size_t width = (*list)[0] == 1 ? 8 : 4;
  const std::size_t entrySize = 2 * width + 4;
  const std::uint64_t count = ReadBig(*list, 4, 4);
  std::vector<std::optional<std::uint64_t>> starts;
  for (std::uint64_t i = 0; i < count && 8 + (i + 1) * entrySize <= list->size(); ++i) {
    const std::uint64_t mediaTime = ReadBig(*list, 8 + i * entrySize + width, width);
    const bool empty = mediaTime >> (8 * width - 1) != 0;  // negative
    starts.push_back(empty ? std::nullopt : std::optional(mediaTime));
  }
  return starts;
}

std::optional<Bytes> MediaHeaderOf(Bytes track) {
  const std::optional<Bytes> media = ChildOf(track, "mdia");
  return media ? ChildOf(*media, "mdhd") : std::nullopt;
}

// The furthest an edit of the track starts into its media, in the movie's
// time scale.
std::uint64_t EditStartOf(Bytes track, std::uint64_t movieTimescale) {
  const std::optional<Bytes> header = MediaHeaderOf(track);
  const std::optional<Timing> timing = header ? TimingOf(*header) : std::nullopt;
  if (!timing) return 0;
  std::uint64_t furthest = 0;
  for (const auto& start : EditStartsOf(track)) furthest = std::max(furthest, start.value_or(0));
  return gst_util_uint64_scale_ceil(furthest, movieTimescale, timing->timescale);
}

// How long a track's samples last together, in its media's time scale, as
// its time-to-sample table says; nothing when the table is not whole.
std::optional<std::uint64_t> SamplesLengthOf(Bytes track) {
  std::optional<Bytes> area = ChildOf(track, "mdia");
  for (std::string_view type : {"minf", "stbl", "stts"})
    if (area) area = ChildOf(*area, type);
  if (!area || area->size() < 8) return std::nullopt;
  const std::uint64_t count = ReadBig(*area, 4, 4);
  if (area->size() - 8 < count * 8) return std::nullopt;
  std::uint64_t length = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t run = ReadBig(*area, 8 + i * 8, 4) * ReadBig(*area, 12 + i * 8, 4);
    if (run > std::numeric_limits<std::uint64_t>::max() - length) return std::nullopt;
    length += run;
  }
  return length;
}

// Sets the track's media length to its samples' where it states more, by
// no more than a quarter of theirs.
bool FitMediaToSamples(Bytes track) {
  const std::optional<Bytes> header = MediaHeaderOf(track);
  if (!header) return false;
  const std::optional<Field> field = VersionedField(*header, 16, 24);
  const std::optional<std::uint64_t> samples = SamplesLengthOf(track);
  if (!field || !samples || *samples == 0) return false;
  const auto [at, width] = *field;
  const std::uint64_t stated = ReadBig(*header, at, width);
  if (stated <= *samples || stated - *samples > *samples / 4) return false;
  WriteBig(*header, at, width, *samples);
  return true;
}

// The kind of media a track holds, as its handler names it ("soun", "vide").
std::string_view HandlerOf(Bytes track) {
  const std::optional<Bytes> media = ChildOf(track, "mdia");
  const std::optional<Bytes> handler = media ? ChildOf(*media, "hdlr") : std::nullopt;
  if (!handler || handler->size() < 12) return {};
  return {reinterpret_cast<const char*>(handler->data() + 8), 4};
}

// The length a track's media must state, in its time scale, for the
// demuxer to take it beside a movie of `movie`: a fifth of it.
std::uint64_t LeastTakenLength(Timing movie, std::uint64_t movieLength, Timing track) {
  return gst_util_uint64_scale_ceil(movieLength, track.timescale, 5 * movie.timescale);
}

// Adds `extra` to a stated length; a length of 0 or all ones is unknown.
bool Lengthen(Bytes body, Field field, std::uint64_t extra) {
  const std::uint64_t most =
      field.width == 8 ? std::numeric_limits<std::uint64_t>::max() : 0xffffffffULL;
  const std::uint64_t length = ReadBig(body, field.at, field.width);
  if (length == 0 || length == most) return false;
  WriteBig(body, field.at, field.width, length + std::min(extra, most - 1 - length));
  return true;
}

// The mends a run applies, as the registry found them when it was built.
struct Mends {
  bool lengthen;
  bool fit;
  bool keepShort;
};

GstPadProbeReturn OnPulled(GstPad*, GstPadProbeInfo* info, gpointer data) {
  const Mends& mends = *static_cast<const Mends*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  std::array<char, 8> head{};
  if (!buffer || gst_buffer_extract(buffer, 0, head.data(), head.size()) != head.size() ||
      std::memcmp(head.data() + 4, "moov", 4) != 0)
    return GST_PAD_PROBE_OK;
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  const BufferMapping mapping(buffer, GST_MAP_READWRITE);
  if (mends.lengthen) LengthenMovieByEditStarts(mapping.bytes());
  if (mends.fit) FitEditedMediaToSamples(mapping.bytes());
  // Last: it measures against the movie's length as the demuxer reads it.
  if (mends.keepShort) RaiseShortSoundTracks(mapping.bytes());
  return GST_PAD_PROBE_OK;
}

// The stream of `movie` as the installed demuxer reads it from a file.
struct Pulled {
  bool ended = false;
  std::size_t buffers = 0;
  std::optional<std::pair<int, int>> frameRate;
};

Pulled Pull(std::vector<std::uint8_t> movie) {
  ElementTrial trial;
  GstElement* demuxer = trial.Add("qtdemux");
  Pulled pulled;
  if (!demuxer) return pulled;
  pulled.ended = trial.Read(demuxer, demuxer, std::move(movie));
  pulled.buffers = trial.Ends().empty() ? 0 : trial.Ends().front().buffers.size();
  int num = 0;
  int den = 0;
  if (GstCaps* caps = trial.ReceivedCaps();
      caps && !gst_caps_is_empty(caps) &&
      gst_structure_get_fraction(gst_caps_get_structure(caps, 0), "framerate", &num, &den))
    pulled.frameRate = std::pair(num, den);
  return pulled;
}

}  // namespace

bool LengthenMovieByEditStarts(std::span<std::uint8_t> moov) {
  const std::vector<Box> top = BoxesIn(moov);
  if (top.empty() || top.front().type != "moov") return false;
  const Bytes movie = top.front().body;
  const std::optional<Bytes> header = ChildOf(movie, "mvhd");
  const std::optional<Timing> timing = header ? TimingOf(*header) : std::nullopt;
  if (!timing) return false;
  std::uint64_t extra = 0;
  for (const Box& box : BoxesIn(movie))
    if (box.type == "trak") extra = std::max(extra, EditStartOf(box.body, timing->timescale));
  if (extra == 0) return false;
  bool changed = Lengthen(*header, timing->length, extra);
  // A fragmented movie states its whole length again, and that one counts.
  const std::optional<Bytes> fragments = ChildOf(movie, "mvex");
  const std::optional<Bytes> fragmentsHeader =
      fragments ? ChildOf(*fragments, "mehd") : std::nullopt;
  if (const auto field = fragmentsHeader ? VersionedField(*fragmentsHeader, 4, 4) : std::nullopt)
    changed = Lengthen(*fragmentsHeader, *field, extra) || changed;
  return changed;
}

bool FitEditedMediaToSamples(std::span<std::uint8_t> moov) {
  const std::vector<Box> top = BoxesIn(moov);
  if (top.empty() || top.front().type != "moov") return false;
  bool changed = false;
  for (const Box& box : BoxesIn(top.front().body))
    if (box.type == "trak" && !EditStartsOf(box.body).empty())
      changed = FitMediaToSamples(box.body) || changed;
  return changed;
}

bool RaiseShortSoundTracks(std::span<std::uint8_t> moov) {
  const std::vector<Box> top = BoxesIn(moov);
  if (top.empty() || top.front().type != "moov") return false;
  const std::optional<Bytes> header = ChildOf(top.front().body, "mvhd");
  const std::optional<Timing> movie = header ? TimingOf(*header) : std::nullopt;
  if (!movie) return false;
  const std::uint64_t movieLength = ReadBig(*header, movie->length.at, movie->length.width);
  bool changed = false;
  for (const Box& box : BoxesIn(top.front().body)) {
    if (box.type != "trak" || HandlerOf(box.body) != "soun") continue;
    const std::optional<Bytes> media = MediaHeaderOf(box.body);
    const std::optional<Timing> track = media ? TimingOf(*media) : std::nullopt;
    if (!track) continue;
    const std::uint64_t stated = ReadBig(*media, track->length.at, track->length.width);
    const std::uint64_t least = LeastTakenLength(*movie, movieLength, *track);
    const std::uint64_t most = track->length.width == 8 ? ~0ULL : 0xffffffffULL;
    // A track that states no length is empty or damaged, not short.
    if (stated == 0 || stated >= least || least >= most) continue;
    WriteBig(*media, track->length.at, track->length.width, least);
    changed = true;
  }
  return changed;
}

PadProbe MendPulledMovie(GstPad* sourcePad) {
  const Mends mends{Engaged(Workaround::Mp4EditedEnd), Engaged(Workaround::Mp4CutFrameRate),
                    Engaged(Workaround::Mp4ShortTrack)};
  if (!mends.lengthen && !mends.fit && !mends.keepShort) return {};
  return PadProbe(
      sourcePad, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_PULL),
      &OnPulled, new Mends(mends), [](gpointer data) { delete static_cast<Mends*>(data); });
}

// Eight pictures of 250 ms, of which the edit shows the last four; the
// movie lasts as long as the edit.
bool Mp4DemuxerEndsEditedTracksEarly() {
  const mp4::PictureTrack track{1000, 250, 8, 2000, mp4::Edit{1000, 1000}};
  const Pulled pulled = Pull(mp4::PictureMovie(1000, track));
  return pulled.ended && pulled.buffers < 4;
}

// Five pictures of 40 ms (25 fps) whose media header states 240 ms: the
// rest over all but the first picture reads as 20 fps.
bool Mp4DemuxerRatesByMediaLength() {
  const mp4::PictureTrack track{1000, 40, 5, 240, mp4::Edit{200, 0}};
  const Pulled pulled = Pull(mp4::PictureMovie(200, track));
  return pulled.frameRate && *pulled.frameRate != std::pair(25, 1);
}

// Two pictures of 100 ms in a movie of 2 s: a tenth of it. The same track
// in a movie of its own length shows the demuxer reads it at all.
bool Mp4DemuxerSkipsShortTracks() {
  const mp4::PictureTrack track{1000, 100, 2, 200, std::nullopt};
  return Pull(mp4::PictureMovie(200, track)).buffers > 0 &&
         Pull(mp4::PictureMovie(2000, track)).buffers == 0;
}

}  // namespace gst

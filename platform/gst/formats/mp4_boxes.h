#pragma once
// MP4 boxes written from their parts: a small movie to try a demuxer on,
// and the boxes a mend of what a demuxer reads rewrites.

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace gst::mp4 {

using Bytes = std::vector<std::uint8_t>;

// Appends `value` in `width` bytes, the most significant first (a field
// wider than 8 bytes is all zeros but for its last 8).
void PutBig(Bytes& out, std::uint64_t value, int width);

// A box of `type` that holds `parts`, one after the other.
Bytes Box(std::string_view type, const std::vector<Bytes>& parts);

// A movie header ('mvhd') or a media header ('mdhd') of `version` (0: its
// times in 4 bytes, 1: in 8) stating its time scale and its length.
Bytes LengthHeader(std::string_view type, int version, std::uint64_t timescale,
                   std::uint64_t length);

// An edit: how long it lasts in the movie's time scale, and where it starts
// into the track's media (-1: an empty edit).
struct Edit {
  std::uint64_t length;
  std::int64_t start;
};
// The edit list ('edts') of `version` that holds `edits`.
Bytes EditList(int version, const std::vector<Edit>& edits);

// A track of still pictures, each `sampleLength` long in `timescale`, whose
// media header states `mediaLength`.
struct PictureTrack {
  std::uint64_t timescale;
  std::uint64_t sampleLength;
  std::uint32_t samples;
  std::uint64_t mediaLength;
  std::optional<Edit> edit;  // none: the track has no edit list
};
// The track's box ('trak'), its samples at `dataOffset` in the file.
Bytes TrackBox(const PictureTrack& track, std::uint64_t dataOffset);

// A whole file: the movie, `movieLength` long in 1000ths of a second, of
// the one track, then the track's samples.
Bytes PictureMovie(std::uint64_t movieLength, const PictureTrack& track);

}  // namespace gst::mp4

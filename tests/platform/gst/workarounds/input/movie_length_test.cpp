#include "platform/gst/workarounds/input/movie_length.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gst/formats/mp4_boxes.h"

namespace {

using gst::mp4::Box;
using gst::mp4::Bytes;
using gst::mp4::LengthHeader;

// A track whose edits start that far into its media (-1: an empty edit).
Bytes Track(int version, std::uint64_t timescale, const std::vector<std::int64_t>& starts) {
  std::vector<gst::mp4::Edit> edits;
  for (std::int64_t start : starts) edits.push_back({1000, start});
  return Box("trak", {gst::mp4::EditList(version, edits),
                      Box("mdia", {LengthHeader("mdhd", 0, timescale, 0)})});
}

std::uint64_t LengthIn(const Bytes& moov, const std::string& type, std::size_t at, int width) {
  const auto found = std::search(moov.begin(), moov.end(), type.begin(), type.end());
  std::uint64_t value = 0;
  for (int i = 0; i < width; ++i) value = value << 8 | *(found + 4 + at + i);
  return value;
}

// The first `size` bytes of a box, its own size mended so that only what it
// holds is missing.
Bytes CutShort(const Bytes& whole, std::size_t size) {
  Bytes cut;
  gst::mp4::PutBig(cut, size, 4);
  cut.insert(cut.end(), whole.begin() + 4, whole.begin() + static_cast<std::ptrdiff_t>(size));
  return cut;
}

bool Lengthen(Bytes& moov) { return gst::LengthenMovieByEditStarts(moov); }

// A 30 fps picture track (512 in 15360) of `samples` pictures whose media
// header states `stated`, with an edit list starting `editStart` in, or none.
Bytes PictureTrack(std::uint64_t stated, std::uint64_t samples,
                   std::optional<std::int64_t> editStart) {
  std::optional<gst::mp4::Edit> edit;
  if (editStart) edit = gst::mp4::Edit{3134, *editStart};
  return gst::mp4::TrackBox({15360, 512, static_cast<std::uint32_t>(samples), stated, edit}, 0);
}

// A clip cut at 1.3 s without re-encoding: its sound starts 1.3 s into its
// samples, its picture 1.367 s (the picture the cut fell on). The movie
// grows by the further of the two, in its own time scale, rounded up.
TEST(MovieLength, GrowsByTheFurthestStartOfAnEdit) {
  Bytes moov = Box("moov", {LengthHeader("mvhd", 1, 1000, 3100), Track(0, 48000, {62400}),
                            Track(1, 15360, {-1, 20992}),
                            Box("mvex", {Box("mehd", {{0, 0, 0, 0, 0, 0, 0x0c, 0x1c}})})});
  EXPECT_TRUE(Lengthen(moov));
  EXPECT_EQ(LengthIn(moov, "mvhd", 24, 8), 3100u + 1367u);
  EXPECT_EQ(LengthIn(moov, "mehd", 4, 4), 3100u + 1367u) << "a fragmented movie's own length";
}

TEST(MovieLength, LeavesAloneWhatNeedsNothingOrCannotBeRead) {
  const Bytes plain = Box("moov", {LengthHeader("mvhd", 0, 1000, 2000), Track(0, 48000, {0})});
  Bytes unchanged = plain;
  EXPECT_FALSE(Lengthen(unchanged)) << "edits from the media's start";
  EXPECT_EQ(unchanged, plain);

  Bytes unknown = Box("moov", {LengthHeader("mvhd", 0, 1000, 0), Track(0, 48000, {2048})});
  EXPECT_FALSE(Lengthen(unknown)) << "a movie of unknown length stays unknown";

  // A damaged file: a box cut short anywhere, its own size mended so that
  // only what it holds is missing, is read within its bytes and left alone.
  const Bytes whole = Box("moov", {LengthHeader("mvhd", 0, 1000, 2000), Track(1, 48000, {2048})});
  for (std::size_t size = 8; size < whole.size(); ++size) {
    Bytes cut = CutShort(whole, size);
    EXPECT_FALSE(Lengthen(cut)) << "cut at " << size;
  }
}

// A clip cut without re-encoding keeps 113 pictures from the keyframe
// before the cut, but states two more (its reordering delay) as its media
// length; the demuxer would read 29.5 fps from it.
TEST(MovieLength, ACutPictureTrackLastsAsLongAsItsSamples) {
  Bytes cut =
      Box("moov", {LengthHeader("mvhd", 0, 1000, 3134), PictureTrack(115 * 512, 113, 11776)});
  EXPECT_TRUE(gst::FitEditedMediaToSamples(cut));
  EXPECT_EQ(LengthIn(cut, "mdhd", 16, 4), 113u * 512u);

  // Left alone: a track without edits (its segment is its media length),
  // one that already states its samples' length, one whose table is far
  // from its length (damaged, not a reordering delay), and any cut short.
  for (const Bytes& track : {PictureTrack(115 * 512, 113, std::nullopt),
                             PictureTrack(113 * 512, 113, 1024), PictureTrack(300 * 512, 113, 0)}) {
    const Bytes whole = Box("moov", {LengthHeader("mvhd", 0, 1000, 3134), track});
    Bytes unchanged = whole;
    EXPECT_FALSE(gst::FitEditedMediaToSamples(unchanged));
    EXPECT_EQ(unchanged, whole);
  }
  const Bytes whole =
      Box("moov", {LengthHeader("mvhd", 0, 1000, 3134), PictureTrack(115 * 512, 113, 0)});
  for (std::size_t size = 8; size < whole.size(); ++size) {
    Bytes part = CutShort(whole, size);
    EXPECT_FALSE(gst::FitEditedMediaToSamples(part)) << "cut at " << size;
  }
}

}  // namespace

// A minute of picture whose sound stopped after 5 s: the sound's media
// length is raised to a fifth of the movie, what the demuxer takes as a
// track; a picture track and a sound of no stated length are left alone.
TEST(MovieLength, ASoundMuchShorterThanTheMovieStatesAFifthOfIt) {
  const auto track = [](std::string_view handler, std::uint64_t stated) {
    Bytes box = gst::mp4::TrackBox({48000, 1024, 4, stated, std::nullopt}, 0);
    const std::string vide = "vide";
    std::copy(handler.begin(), handler.end(),
              std::search(box.begin(), box.end(), vide.begin(), vide.end()));
    return box;
  };
  Bytes moov = Box("moov", {LengthHeader("mvhd", 0, 1000, 60000), track("soun", 5 * 48000)});
  EXPECT_TRUE(gst::RaiseShortSoundTracks(moov));
  EXPECT_EQ(LengthIn(moov, "mdhd", 16, 4), 12u * 48000u);

  for (const Bytes& left :
       {track("vide", 5 * 48000), track("soun", 0), track("soun", 13 * 48000)}) {
    const Bytes whole = Box("moov", {LengthHeader("mvhd", 0, 1000, 60000), left});
    Bytes unchanged = whole;
    EXPECT_FALSE(gst::RaiseShortSoundTracks(unchanged));
    EXPECT_EQ(unchanged, whole);
  }
  const Bytes whole = Box("moov", {LengthHeader("mvhd", 0, 1000, 60000), track("soun", 48000)});
  for (std::size_t size = 8; size < whole.size(); ++size) {
    Bytes part = CutShort(whole, size);
    (void)gst::RaiseShortSoundTracks(part);  // must stay within its bytes
  }
}

#include "platform/gst/movie_length.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutBig(Bytes& out, std::uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes Box(const std::string& type, const std::vector<Bytes>& parts) {
  Bytes body;
  for (const Bytes& part : parts) body.insert(body.end(), part.begin(), part.end());
  Bytes box;
  PutBig(box, body.size() + 8, 4);
  box.insert(box.end(), type.begin(), type.end());
  box.insert(box.end(), body.begin(), body.end());
  return box;
}

// A movie or media header ('mvhd', 'mdhd') in either version.
Bytes Header(const std::string& type, int version, std::uint64_t timescale, std::uint64_t length) {
  const int wide = version == 1 ? 8 : 4;
  Bytes body;
  PutBig(body, std::uint64_t(version) << 24, 4);
  PutBig(body, 0, wide);  // made
  PutBig(body, 0, wide);  // changed
  PutBig(body, timescale, 4);
  PutBig(body, length, wide);
  PutBig(body, 0, 8);  // what follows, unread
  return Box(type, {body});
}

// A track whose edits start that far into its media (-1: an empty edit).
Bytes Track(int version, std::uint64_t timescale, const std::vector<std::int64_t>& starts) {
  const int wide = version == 1 ? 8 : 4;
  Bytes list;
  PutBig(list, std::uint64_t(version) << 24, 4);
  PutBig(list, starts.size(), 4);
  for (std::int64_t start : starts) {
    PutBig(list, 1000, wide);
    PutBig(list, static_cast<std::uint64_t>(start), wide);
    PutBig(list, 0x10000, 4);
  }
  return Box("trak",
             {Box("edts", {Box("elst", {list})}), Box("mdia", {Header("mdhd", 0, timescale, 0)})});
}

std::uint64_t LengthIn(const Bytes& moov, const std::string& type, std::size_t at, int width) {
  const auto found = std::search(moov.begin(), moov.end(), type.begin(), type.end());
  std::uint64_t value = 0;
  for (int i = 0; i < width; ++i) value = value << 8 | *(found + 4 + at + i);
  return value;
}

bool Lengthen(Bytes& moov) { return gst::LengthenMovieByEditStarts(moov); }

// A clip cut at 1.3 s without re-encoding: its sound starts 1.3 s into its
// samples, its picture 1.367 s (the picture the cut fell on). The movie
// grows by the further of the two, in its own time scale, rounded up.
TEST(MovieLength, GrowsByTheFurthestStartOfAnEdit) {
  Bytes moov = Box("moov", {Header("mvhd", 1, 1000, 3100), Track(0, 48000, {62400}),
                            Track(1, 15360, {-1, 20992}),
                            Box("mvex", {Box("mehd", {{0, 0, 0, 0, 0, 0, 0x0c, 0x1c}})})});
  EXPECT_TRUE(Lengthen(moov));
  EXPECT_EQ(LengthIn(moov, "mvhd", 24, 8), 3100u + 1367u);
  EXPECT_EQ(LengthIn(moov, "mehd", 4, 4), 3100u + 1367u) << "a fragmented movie's own length";
}

TEST(MovieLength, LeavesAloneWhatNeedsNothingOrCannotBeRead) {
  const Bytes plain = Box("moov", {Header("mvhd", 0, 1000, 2000), Track(0, 48000, {0})});
  Bytes unchanged = plain;
  EXPECT_FALSE(Lengthen(unchanged)) << "edits from the media's start";
  EXPECT_EQ(unchanged, plain);

  Bytes unknown = Box("moov", {Header("mvhd", 0, 1000, 0), Track(0, 48000, {2048})});
  EXPECT_FALSE(Lengthen(unknown)) << "a movie of unknown length stays unknown";

  // A damaged file: a box cut short anywhere, its own size mended so that
  // only what it holds is missing, is read within its bytes and left alone.
  const Bytes whole = Box("moov", {Header("mvhd", 0, 1000, 2000), Track(1, 48000, {2048})});
  for (std::size_t size = 8; size < whole.size(); ++size) {
    Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    cut[3] = static_cast<std::uint8_t>(size);
    EXPECT_FALSE(Lengthen(cut)) << "cut at " << size;
  }
}

}  // namespace

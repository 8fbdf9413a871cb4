#include "platform/gst/formats/mp4_boxes.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace gst::mp4 {

namespace {

constexpr std::uint64_t kMovieTimescale = 1000;
// The smallest picture a JPEG decoder could be handed: start of image.
constexpr std::array<std::uint8_t, 16> kPicture{0xff, 0xd8};

// A box with a version and flags before its parts.
Bytes FullBox(std::string_view type, int version, std::uint32_t flags,
              const std::vector<Bytes>& parts) {
  Bytes head;
  PutBig(head, std::uint64_t(version) << 24 | flags, 4);
  std::vector<Bytes> all{head};
  all.insert(all.end(), parts.begin(), parts.end());
  return Box(type, all);
}

Bytes Big(std::initializer_list<std::pair<std::uint64_t, int>> fields) {
  Bytes out;
  for (const auto& [value, width] : fields) PutBig(out, value, width);
  return out;
}

// The matrix that leaves pictures as they are.
Bytes Unturned() {
  return Big({{0x10000, 4},
              {0, 4},
              {0, 4},
              {0, 4},
              {0x10000, 4},
              {0, 4},
              {0, 4},
              {0, 4},
              {0x40000000, 4}});
}

Bytes JpegEntry() {
  const Bytes entry = Big({{0, 6},         // reserved
                           {1, 2},         // data reference
                           {0, 16},        // reserved
                           {16, 2},        // width
                           {16, 2},        // height
                           {0x480000, 4},  // 72 dpi across
                           {0x480000, 4},  // and down
                           {0, 4},         // reserved
                           {1, 2},         // pictures a sample
                           {0, 32},        // compressor's name
                           {24, 2},        // depth
                           {0xffff, 2}});  // no colour table
  return FullBox("stsd", 0, 0, {Big({{1, 4}}), Box("jpeg", {entry})});
}

}  // namespace

void PutBig(Bytes& out, std::uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i)
    out.push_back(i >= 8 ? 0 : static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes Box(std::string_view type, const std::vector<Bytes>& parts) {
  Bytes body;
  for (const Bytes& part : parts) body.insert(body.end(), part.begin(), part.end());
  Bytes box;
  PutBig(box, body.size() + 8, 4);
  box.insert(box.end(), type.begin(), type.end());
  box.insert(box.end(), body.begin(), body.end());
  return box;
}

Bytes LengthHeader(std::string_view type, int version, std::uint64_t timescale,
                   std::uint64_t length) {
  const int wide = version == 1 ? 8 : 4;
  Bytes body = Big({{0, wide}, {0, wide}, {timescale, 4}, {length, wide}});     // made, changed
  const Bytes rest = type == "mvhd" ? Big({{0x10000, 4}, {0x100, 2}, {0, 10}})  // rate, volume
                                    : Big({{0x55c4, 2}, {0, 2}});               // language: none
  body.insert(body.end(), rest.begin(), rest.end());
  if (type == "mvhd") {
    const Bytes matrix = Unturned();
    body.insert(body.end(), matrix.begin(), matrix.end());
    const Bytes next = Big({{0, 24}, {2, 4}});  // the next track's number
    body.insert(body.end(), next.begin(), next.end());
  }
  return FullBox(type, version, 0, {body});
}

Bytes EditList(int version, const std::vector<Edit>& edits) {
  const int wide = version == 1 ? 8 : 4;
  Bytes list = Big({{edits.size(), 4}});
  for (const Edit& edit : edits) {
    PutBig(list, edit.length, wide);
    PutBig(list, static_cast<std::uint64_t>(edit.start), wide);
    PutBig(list, 0x10000, 4);  // at normal speed
  }
  return Box("edts", {FullBox("elst", version, 0, {list})});
}

Bytes TrackBox(const PictureTrack& track, std::uint64_t dataOffset) {
  const Bytes table = Box(
      "stbl", {JpegEntry(),
               FullBox("stts", 0, 0, {Big({{1, 4}, {track.samples, 4}, {track.sampleLength, 4}})}),
               FullBox("stsc", 0, 0, {Big({{1, 4}, {1, 4}, {track.samples, 4}, {1, 4}})}),
               FullBox("stsz", 0, 0, {Big({{kPicture.size(), 4}, {track.samples, 4}})}),
               FullBox("stco", 0, 0, {Big({{1, 4}, {dataOffset, 4}})})});
  const Bytes media = Box(
      "mdia",
      {LengthHeader("mdhd", 0, track.timescale, track.mediaLength),
       FullBox("hdlr", 0, 0, {Big({{0, 4}}), Bytes{'v', 'i', 'd', 'e'}, Big({{0, 12}, {0, 1}})}),
       Box("minf", {FullBox("vmhd", 0, 1, {Big({{0, 8}})}), table})});
  const std::uint64_t shown = track.edit ? track.edit->length
                                         : track.mediaLength * kMovieTimescale /
                                               std::max<std::uint64_t>(track.timescale, 1);
  const Bytes header = FullBox("tkhd", 0, 3,
                               {Big({{0, 4}, {0, 4}, {1, 4}, {0, 4}, {shown, 4}, {0, 16}}),
                                Unturned(), Big({{16 << 16, 4}, {16 << 16, 4}})});
  if (!track.edit) return Box("trak", {header, media});
  return Box("trak", {header, EditList(0, {*track.edit}), media});
}

Bytes PictureMovie(std::uint64_t movieLength, const PictureTrack& track) {
  const Bytes type =
      Box("ftyp", {Bytes{'i', 's', 'o', 'm'}, Big({{0x200, 4}}), Bytes{'i', 's', 'o', 'm'}});
  const auto movie = [&](std::uint64_t dataOffset) {
    return Box("moov", {LengthHeader("mvhd", 0, kMovieTimescale, movieLength),
                        TrackBox(track, dataOffset)});
  };
  // The samples follow the movie and their own box's header.
  Bytes file = type;
  const Bytes placed = movie(type.size() + movie(0).size() + 8);
  file.insert(file.end(), placed.begin(), placed.end());
  Bytes samples;
  for (std::uint32_t i = 0; i < track.samples; ++i)
    samples.insert(samples.end(), kPicture.begin(), kPicture.end());
  const Bytes data = Box("mdat", {samples});
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

}  // namespace gst::mp4

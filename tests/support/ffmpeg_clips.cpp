#include "tests/support/ffmpeg_clips.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "tests/support/clip_cache.h"
#include "tests/support/ffprobe.h"

namespace test_support {

namespace {

using Arguments = std::vector<std::string>;

Arguments Picture(const std::string& size, const std::string& rate, const std::string& seconds) {
  return {"-f", "lavfi", "-i", "testsrc=size=" + size + ":rate=" + rate + ":duration=" + seconds};
}

// Black, but white for 0.1 s from half past every second.
Arguments Flashes(const std::string& size, const std::string& rate, const std::string& seconds) {
  return {"-f", "lavfi", "-i",
          "color=black:size=" + size + ":rate=" + rate + ":duration=" + seconds +
              ",format=yuv420p,geq=lum='if(between(mod(T+0.0001\\,1)\\,0.5\\,0.6)\\,235\\,16)'"
              ":cb=128:cr=128"};
}

// 3 s of a 1 kHz beep of 0.1 s from half past every second, over `between`.
Arguments Beeps(const std::string& between) {
  return {"-f", "lavfi", "-i",
          "aevalsrc=exprs='if(between(mod(t,1),0.5,0.6),0.5*sin(2*PI*1000*t)," + between +
              ")':s=48000:d=3"};
}

Arguments Tone(const std::string& seconds) {
  return {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=" + seconds};
}

Arguments Join(std::initializer_list<Arguments> parts) {
  Arguments all{"-nostdin", "-v", "error", "-y"};
  for (const Arguments& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Interlaced MPEG-2 as DVDs and SD broadcasts carry it.
const Arguments kInterlacedMpeg2{"-vf",    "setfield=tff", "-c:v", "mpeg2video",
                                 "-flags", "+ilme+ildct",  "-top", "1"};

// H.264 made quickly, in the pixel format players expect, then `rest`.
Arguments QuickH264And(std::initializer_list<std::string> rest) {
  Arguments all{"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"};
  all.insert(all.end(), rest);
  return all;
}

// H.264 and AAC in MP4, as phones record.
const Arguments kPhoneMp4 = QuickH264And({"-c:a", "aac", "-f", "mp4"});

// DV in AVI with 16-bit PCM, saying 4:3 as camcorders do.
Arguments DvAvi(const char* pixelFormat) {
  return {"-c:v", "dvvideo", "-pix_fmt",  pixelFormat, "-aspect",
          "4:3",  "-c:a",    "pcm_s16le", "-f",        "avi"};
}

// Raw sound in MOV beside H.264, as editing programs write it.
Arguments PcmMov(const std::string& channels) {
  return QuickH264And(
      {"-af", "aformat=channel_layouts=" + channels, "-c:a", "pcm_s24le", "-f", "mov"});
}

// One programme of a broadcast: SD MPEG-2 in its shape with AC-3 in its
// channels, starting `at` seconds into the recording.
Arguments Programme(const char* shape, const char* channels, const char* at) {
  return Join({Picture("720x576", "25", "2"),
               Tone("2"),
               {"-c:v", "mpeg2video", "-aspect", shape, "-c:a", "ac3", "-ac", channels,
                "-output_ts_offset", at, "-f", "mpegts"}});
}

Arguments Recipe(FfmpegClip clip) {
  switch (clip) {
    case FfmpegClip::BroadcastTs:
      return Join({Picture("720x576", "25", "2"),
                   Tone("2"),
                   kInterlacedMpeg2,
                   {"-c:a", "mp2", "-f", "mpegts"}});
    case FfmpegClip::DvdPs:
      return Join({Picture("720x576", "25", "2"),
                   Tone("2"),
                   kInterlacedMpeg2,
                   {"-aspect", "16:9", "-c:a", "ac3", "-f", "vob"}});
    case FfmpegClip::CamcorderTs:
      return Join({Picture("1920x1080", "25", "2"),
                   Tone("2"),
                   {"-vf", "setfield=tff,format=yuv420p", "-c:v", "libx264", "-preset", "ultrafast",
                    "-flags", "+ilme+ildct", "-c:a", "ac3", "-f", "mpegts"}});
    case FfmpegClip::DvPal:
      return Join({Picture("720x576", "25", "2"), Tone("2"), DvAvi("yuv420p")});
    case FfmpegClip::DvNtsc:
      return Join({Picture("720x480", "30000/1001", "2"), Tone("2"), DvAvi("yuv411p")});
    case FfmpegClip::LateAudioTs:
      return Join({Picture("352x288", "25", "2"),
                   {"-itsoffset", "0.5"},
                   Tone("1.5"),
                   {"-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpegts"}});
    case FfmpegClip::WrappingClockTs:
      // 2^33 ticks of 90 kHz are 95443.7 s. A moving picture at a broadcast
      // bitrate: GStreamer then finds no length at all, every time.
      return Join({{"-f", "lavfi", "-i", "testsrc2=size=720x576:rate=25:duration=4"},
                   Tone("4"),
                   {"-c:v", "mpeg2video", "-b:v", "4M", "-c:a", "mp2", "-output_ts_offset",
                    "95441.7", "-f", "mpegts"}});
    case FfmpegClip::Fast60:
      return Join({Picture("320x240", "60", "2"), Tone("2"), kPhoneMp4});
    case FfmpegClip::PhoneUpright:
      return Join({Picture("320x240", "25", "2"), Tone("2"), kPhoneMp4});
    case FfmpegClip::UnplacedSurroundMov:
      return Join({Picture("320x240", "25", "2"), Tone("2"), PcmMov("5.1")});
    case FfmpegClip::SixteenChannelsMov:
      return Join({Picture("320x240", "25", "2"), Tone("2"), PcmMov("hexadecagonal")});
    case FfmpegClip::SwitchingBroadcastTs:
      return Programme("4:3", "2", "0");
    case FfmpegClip::LateSoundMov:
      return Join(
          {Picture("320x240", "25", "3"), {"-itsoffset", "1"}, Tone("2"), PcmMov("stereo")});
    case FfmpegClip::ReorderedMkv:
      return Join({Picture("320x240", "25", "2"), Tone("2"),
                   QuickH264And({"-bf", "2", "-c:a", "aac", "-f", "matroska"})});
    case FfmpegClip::TrimmedMp4:
      // With B-frames, whose reordering the cut file's media length counts.
      return Join({Picture("320x240", "25", "4"), Tone("4"),
                   QuickH264And({"-bf", "3", "-g", "25", "-x264-params", "b-pyramid=2", "-c:a",
                                 "aac", "-f", "mp4"})});
    case FfmpegClip::BlipAvi:
      return Join({Picture("320x240", "25", "2"), Tone("0.02"),
                   QuickH264And({"-c:a", "pcm_s16le", "-f", "avi"})});
    case FfmpegClip::BeepingMov:
      return Join({Picture("320x240", "25", "3"), Beeps("0"),
                   QuickH264And({"-c:a", "pcm_s16le", "-f", "mov"})});
    case FfmpegClip::LatmBroadcastTs:
      return Join({Picture("320x240", "25", "3"), Beeps("0.02*sin(2*PI*300*t)"),
                   QuickH264And({"-c:a", "aac", "-mpegts_flags", "latm", "-f", "mpegts"})});
    case FfmpegClip::LateVideoTs:
      return Join({{"-itsoffset", "0.7"},
                   Picture("352x288", "25", "2.3"),
                   Tone("3"),
                   {"-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpegts"}});
    case FfmpegClip::XvidAvi:
      return Join({Flashes("320x240", "30", "2"),
                   Tone("2"),
                   {"-c:v", "mpeg4", "-vtag", "XVID", "-bf", "2", "-g", "12", "-c:a", "libmp3lame",
                    "-f", "avi"}});
    case FfmpegClip::CameraAvi:
      return Join({Picture("320x240", "25", "3"),
                   Beeps("0"),
                   {"-c:v", "mjpeg", "-c:a", "adpcm_ima_wav", "-ar", "22050", "-f", "avi"}});
    case FfmpegClip::DvdSecondPart:
      return Join({Picture("720x576", "25", "6"),
                   Tone("6"),
                   {"-c:v", "mpeg2video", "-g", "12", "-c:a", "ac3", "-f", "vob"}});
    case FfmpegClip::OutlastingSoundMp4:
      return Join({Picture("320x240", "25", "2"), {"-itsoffset", "0.5"}, Tone("2"), kPhoneMp4});
    case FfmpegClip::BriefSoundMp4:
      return Join({Picture("160x120", "25", "10"), Tone("1.5"), kPhoneMp4});
    case FfmpegClip::OneFrameFirstSoundTs:
      return Join({Picture("352x288", "25", "6"),
                   Tone("6"),
                   {"-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpegts"}});
    case FfmpegClip::ConstantRateClaimedAvi:
      return Join({Tone("4"), {"-c:a", "libmp3lame", "-q:a", "2", "-f", "avi"}});
    case FfmpegClip::WindowsMedia30:
      return Join({Picture("320x240", "30", "2"),
                   Tone("2"),
                   {"-c:v", "wmv2", "-c:a", "wmav2", "-f", "asf"}});
  }
  throw std::logic_error("unknown clip");
}

// Whether this ffmpeg turns pictures by -display_rotation (FFmpeg 6.1 on),
// which no longer reads a "rotate" note as a turn.
bool TurnsByDisplayRotation() {
  static const bool turns =
      RunTool("ffmpeg", {"-hide_banner", "-h", "full"}).out.find("-display_rotation") !=
      std::string::npos;
  return turns;
}

// What a clip becomes when its recipe's file, `made`, is copied without
// re-encoding: a phone's note that its pictures are to be turned a quarter
// clockwise, or a cut as `-c copy` trims and phone galleries make it.
// Nothing for the rest.
Arguments CopyOf(FfmpegClip clip, const std::string& made) {
  if (clip == FfmpegClip::PhoneUpright && TurnsByDisplayRotation())
    return Join({{"-display_rotation:v:0", "-90", "-i", made, "-c", "copy", "-f", "mp4"}});
  if (clip == FfmpegClip::PhoneUpright)
    return Join({{"-i", made, "-c", "copy", "-metadata:s:v:0", "rotate=90", "-f", "mp4"}});
  if (clip == FfmpegClip::TrimmedMp4)
    return Join({{"-ss", "1.3", "-i", made, "-t", "2.5", "-c", "copy", "-f", "mp4"}});
  if (clip == FfmpegClip::OneFrameFirstSoundTs)
    return Join(
        {{"-i",     made,  "-f",     "lavfi", "-t",   "0.001", "-i",   "anullsrc=r=48000:cl=stereo",
          "-map",   "0:v", "-map",   "1:a",   "-map", "0:a",   "-c:v", "copy",
          "-c:a:0", "mp2", "-c:a:1", "copy",  "-f",   "mpegts"}});
  return {};
}

// What a recording goes on with, made apart and joined to it byte by byte,
// as transport streams are joined.
Arguments Sequel(FfmpegClip clip) {
  if (clip == FfmpegClip::SwitchingBroadcastTs) return Programme("16:9", "6", "2");
  return {};
}

// The bytes kept of a clip that is the second half of a recording: from a
// pack (2048 bytes) at its middle.
void KeepSecondHalf(std::vector<char>& bytes) {
  const std::size_t from = bytes.size() / 2 / 2048 * 2048;
  bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(from));
}

void PutLittle(std::vector<char>& bytes, std::size_t at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes.at(at + i) = static_cast<char>(value >> (8 * i));
}

// The header of an AVI's sound stream made to state a constant rate of
// 40000 bytes a second (320 kbit/s, the most MP3 has), counted in bytes,
// as writers that took a variable-rate MP3 for a constant one stated it.
void ClaimConstantRate(std::vector<char>& bytes) {
  const std::string_view text(bytes.data(), bytes.size());
  std::size_t header = text.find("strh");
  while (header != std::string_view::npos && text.substr(header + 8, 4) != "auds")
    header = text.find("strh", header + 4);
  const std::size_t format = text.find("strf", header);
  if (header == std::string_view::npos || format == std::string_view::npos)
    throw std::runtime_error("no sound stream to state a rate for");
  constexpr std::uint32_t kByteRate = 40000;
  PutLittle(bytes, header + 8 + 20, 1, 4);          // scale: a byte
  PutLittle(bytes, header + 8 + 24, kByteRate, 4);  // rate
  PutLittle(bytes, header + 8 + 44, 1, 4);          // sample size: a byte
  PutLittle(bytes, format + 8 + 8, kByteRate, 4);   // bytes a second
  PutLittle(bytes, format + 8 + 12, 1, 2);          // block size
}

// How the bytes ffmpeg made of a clip are rewritten into it; none for most.
using Rewrite = void (*)(std::vector<char>&);
Rewrite RewriteOf(FfmpegClip clip) {
  if (clip == FfmpegClip::DvdSecondPart) return &KeepSecondHalf;
  if (clip == FfmpegClip::ConstantRateClaimedAvi) return &ClaimConstantRate;
  return nullptr;
}

void RewriteFile(Rewrite rewrite, const std::string& made, const std::string& part) {
  std::ifstream in(made, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  rewrite(bytes);
  std::ofstream(part, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Each clip's file name and the name its test cases carry.
struct ClipNames {
  const char* file;
  const char* test;
};

ClipNames NamesOf(FfmpegClip clip) {
  switch (clip) {
    case FfmpegClip::BroadcastTs:
      return {"broadcast.ts", "BroadcastTs"};
    case FfmpegClip::DvdPs:
      return {"dvd.mpg", "DvdPs"};
    case FfmpegClip::CamcorderTs:
      return {"camcorder 1080i.mts", "CamcorderTs"};
    case FfmpegClip::DvPal:
      return {"dv pal.avi", "DvPal"};
    case FfmpegClip::DvNtsc:
      return {"dv ntsc.avi", "DvNtsc"};
    case FfmpegClip::LateAudioTs:
      return {"late audio.ts", "LateAudioTs"};
    case FfmpegClip::PhoneUpright:
      return {"phone upright.mp4", "PhoneUpright"};
    case FfmpegClip::WrappingClockTs:
      return {"wrapping clock.ts", "WrappingClockTs"};
    case FfmpegClip::Fast60:
      return {"fast 60.mp4", "Fast60"};
    case FfmpegClip::UnplacedSurroundMov:
      return {"unplaced surround.mov", "UnplacedSurroundMov"};
    case FfmpegClip::SixteenChannelsMov:
      return {"sixteen channels.mov", "SixteenChannelsMov"};
    case FfmpegClip::SwitchingBroadcastTs:
      return {"switching broadcast.ts", "SwitchingBroadcastTs"};
    case FfmpegClip::LateSoundMov:
      return {"late sound.mov", "LateSoundMov"};
    case FfmpegClip::ReorderedMkv:
      return {"reordered.mkv", "ReorderedMkv"};
    case FfmpegClip::TrimmedMp4:
      return {"trimmed.mp4", "TrimmedMp4"};
    case FfmpegClip::BeepingMov:
      return {"beeping.mov", "BeepingMov"};
    case FfmpegClip::BlipAvi:
      return {"blip.avi", "BlipAvi"};
    case FfmpegClip::LatmBroadcastTs:
      return {"latm broadcast.ts", "LatmBroadcastTs"};
    case FfmpegClip::WindowsMedia30:
      return {"windows media 30.wmv", "WindowsMedia30"};
    case FfmpegClip::LateVideoTs:
      return {"late video.ts", "LateVideoTs"};
    case FfmpegClip::XvidAvi:
      return {"xvid.avi", "XvidAvi"};
    case FfmpegClip::CameraAvi:
      return {"camera.avi", "CameraAvi"};
    case FfmpegClip::DvdSecondPart:
      return {"VTS_01_2.VOB", "DvdSecondPart"};
    case FfmpegClip::OutlastingSoundMp4:
      return {"outlasting sound.mp4", "OutlastingSoundMp4"};
    case FfmpegClip::BriefSoundMp4:
      return {"brief sound.mp4", "BriefSoundMp4"};
    case FfmpegClip::OneFrameFirstSoundTs:
      return {"one frame first sound.ts", "OneFrameFirstSoundTs"};
    case FfmpegClip::ConstantRateClaimedAvi:
      return {"constant rate claimed.avi", "ConstantRateClaimedAvi"};
  }
  throw std::logic_error("unknown clip");
}

const char* FileName(FfmpegClip clip) { return NamesOf(clip).file; }

}  // namespace

std::string Clip(FfmpegClip clip) {
  return MadeOnce(FileName(clip), [clip](const std::string& part) {
    const auto run = [clip](const Arguments& arguments) {
      const ToolOutput made = RunTool("ffmpeg", arguments);
      if (!made.finished || made.exitCode != 0)
        throw std::runtime_error(std::string("ffmpeg could not make ") + FileName(clip) + ": " +
                                 made.err);
    };
    Arguments copy = CopyOf(clip, part + ".plain");
    const Rewrite rewrite = RewriteOf(clip);
    const std::string made = copy.empty() && !rewrite ? part : part + ".plain";
    Arguments arguments = Recipe(clip);
    arguments.push_back(made);
    run(arguments);
    if (Arguments sequel = Sequel(clip); !sequel.empty()) {
      const std::string next = part + ".sequel";
      sequel.push_back(next);
      run(sequel);
      std::ofstream(made, std::ios::binary | std::ios::app)
          << std::ifstream(next, std::ios::binary).rdbuf();
      std::remove(next.c_str());
    }
    if (rewrite) {
      RewriteFile(rewrite, made, part);
      std::remove(made.c_str());
      return;
    }
    if (copy.empty()) return;
    copy.push_back(part);
    run(copy);
    std::remove(made.c_str());
  });
}

const char* NameOf(FfmpegClip clip) { return NamesOf(clip).test; }

}  // namespace test_support

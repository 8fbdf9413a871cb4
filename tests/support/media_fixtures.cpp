#include "tests/support/media_fixtures.h"

#include <gst/gst.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "platform/gst/gst_handle.h"
#include "tests/support/clip_cache.h"

namespace fs = std::filesystem;

namespace test_support {

namespace {

// Raise when a recipe changes, so that stale clips are made anew.
constexpr const char* kVersion = "v3";

struct Recipe {
  const char* file;
  ClipFacts facts;
  std::string pipeline;  // empty for clips made another way
};

std::string Video(const ClipFacts& f, const std::string& encoder,
                  const std::string& format = "I420") {
  return "videotestsrc name=vsrc num-buffers=" + std::to_string(f.frames) +
         " ! video/x-raw,format=" + format + ",width=" + std::to_string(f.width) +
         ",height=" + std::to_string(f.height) +
         ",framerate=" + std::to_string(f.frameRateNumerator) + "/" +
         std::to_string(f.frameRateDenominator) + " ! " + encoder + " ! queue ! mux. ";
}

// Tone in buffers of 10 ms, so that the length is exact.
std::string Audio(const ClipFacts& f, const std::string& encoder, double seconds,
                  const std::string& tone = "freq=440") {
  const std::string mask = f.channels == 6 ? ",channel-mask=(bitmask)0x3f" : "";
  return "audiotestsrc wave=sine " + tone +
         " num-buffers=" + std::to_string(static_cast<int>(seconds * 100)) +
         " samplesperbuffer=" + std::to_string(f.sampleRate / 100) +
         " ! audio/x-raw,channels=1,rate=" + std::to_string(f.sampleRate) +
         " ! audioconvert ! audio/x-raw,channels=" + std::to_string(f.channels) + mask + " ! " +
         encoder + " ! queue ! mux. ";
}

// MP3 for AVI at a constant rate: readers time it by its bytes.
const std::string kAviMp3 = "lamemp3enc target=bitrate cbr=true";

std::string Mux(const std::string& muxer) { return muxer + " name=mux ! filesink name=sink "; }

// The two tracks of MkvTwoAudioTracks, told apart by their loudness.
const std::string kLoudTone = "freq=440 volume=0.8";
const std::string kQuietTone = "freq=880 volume=0.02";

const std::string kH264 = "x264enc speed-preset=ultrafast key-int-max=25 ! h264parse";
const std::string kAac = "avenc_aac";

ClipFacts Picture(int width, int height, int num, int den, int frames) {
  ClipFacts f;
  f.width = width;
  f.height = height;
  f.frameRateNumerator = num;
  f.frameRateDenominator = den;
  f.frames = frames;
  f.videoTracks = 1;
  f.seconds = static_cast<double>(frames) * den / num;
  return f;
}

ClipFacts WithAudio(ClipFacts f, int tracks, int rate, int channels) {
  f.audioTracks = tracks;
  f.sampleRate = rate;
  f.channels = channels;
  if (f.seconds == 0) f.seconds = 2.0;
  return f;
}

Recipe RecipeFor(ClipKind kind) {
  const ClipFacts standard = WithAudio(Picture(320, 240, 25, 1, 50), 1, 44100, 2);
  switch (kind) {
    case ClipKind::Mp4H264Aac:
      return {"standard.mp4", standard,
              Mux("mp4mux") + Video(standard, kH264) + Audio(standard, kAac, 2)};
    case ClipKind::AviMpeg4Mp3:
      return {"standard.avi", standard,
              Mux("avimux") + Video(standard, "avenc_mpeg4") + Audio(standard, kAviMp3, 2)};
    case ClipKind::MkvVp8Vorbis:
      return {"standard.mkv", standard,
              Mux("matroskamux") + Video(standard, "vp8enc deadline=1") +
                  Audio(standard, "vorbisenc", 2)};
    case ClipKind::Mp4Film: {
      const ClipFacts f = WithAudio(Picture(320, 240, 24000, 1001, 48), 1, 48000, 2);
      return {"film.mp4", f, Mux("mp4mux") + Video(f, kH264) + Audio(f, kAac, 2)};
    }
    case ClipKind::AviOddWidth: {
      const ClipFacts f = Picture(321, 241, 25, 1, 50);
      return {"odd-width.avi", f, Mux("avimux") + Video(f, "avenc_mpeg4")};
    }
    case ClipKind::MkvVariableRate: {
      // Every third frame is dropped and the declared rate is taken away
      // (see MakeVariableRate), so the file has frame times only.
      ClipFacts f = Picture(320, 240, 0, 1, 50);
      f.seconds = 2.0;
      const ClipFacts source = Picture(320, 240, 25, 1, 50);
      return {"variable-rate.mkv", f,
              Mux("matroskamux") + Video(source, "identity name=vfr ! " + kH264)};
    }
    case ClipKind::MkvVariableRateWithAudio: {
      ClipFacts f = WithAudio(Picture(320, 240, 0, 1, 50), 1, 44100, 2);
      f.seconds = 2.0;
      const ClipFacts source = Picture(320, 240, 25, 1, 50);
      return {"variable-rate-audio.mkv", f,
              Mux("matroskamux") + Video(source, "identity name=vfr ! " + kH264) +
                  Audio(f, "vorbisenc", 2)};
    }
    case ClipKind::AviOddWidthWithAudio: {
      const ClipFacts f = WithAudio(Picture(321, 241, 25, 1, 50), 1, 44100, 2);
      return {"odd-width-audio.avi", f,
              Mux("avimux") + Video(f, "avenc_mpeg4") + Audio(f, kAviMp3, 2)};
    }
    case ClipKind::MkvOneFrameNoRate: {
      ClipFacts f = Picture(320, 240, 0, 1, 1);
      f.seconds = 0.04;
      const ClipFacts source = Picture(320, 240, 25, 1, 1);
      return {"one-frame.mkv", f,
              Mux("matroskamux") + Video(source, "identity name=vfr ! " + kH264)};
    }
    case ClipKind::Mp4Audio96k: {
      const ClipFacts f = WithAudio(Picture(320, 240, 25, 1, 50), 1, 96000, 2);
      return {"audio-96k.mp4", f, Mux("mp4mux") + Video(f, kH264) + Audio(f, kAac, 2)};
    }
    case ClipKind::Mp4Surround: {
      const ClipFacts f = WithAudio(Picture(320, 240, 25, 1, 50), 1, 48000, 6);
      return {"surround.mp4", f, Mux("mp4mux") + Video(f, kH264) + Audio(f, kAac, 2)};
    }
    case ClipKind::MkvTwoAudioTracks: {
      const ClipFacts f = WithAudio(Picture(320, 240, 25, 1, 50), 2, 44100, 2);
      return {"two-audio.mkv", f,
              Mux("matroskamux") + Video(f, kH264) + Audio(f, "vorbisenc", 2, kLoudTone) +
                  Audio(f, "vorbisenc", 2, kQuietTone)};
    }
    case ClipKind::Mp4AudioOnly: {
      const ClipFacts f = WithAudio(ClipFacts{}, 1, 44100, 2);
      return {"audio-only.mp4", f, Mux("mp4mux") + Audio(f, kAac, 2)};
    }
    case ClipKind::Mp4VideoOnly: {
      const ClipFacts f = Picture(320, 240, 25, 1, 50);
      return {"video-only.mp4", f, Mux("mp4mux") + Video(f, kH264)};
    }
    case ClipKind::TextNamedMp4:
      return {"text.mp4", {}, {}};
    case ClipKind::EmptyMp4:
      return {"empty.mp4", {}, {}};
    case ClipKind::TruncatedMp4:
      return {"truncated.mp4", standard, {}};
    case ClipKind::OddName:
      return {
          "clip with blanks \xC3\x84\xC3\xB6\xC3\xBC \xE6\x97\xA5\xE6\x9C\xAC.mp4", standard, {}};
    case ClipKind::StillImage: {
      ClipFacts f = Picture(320, 240, 25, 1, 1);
      f.seconds = 0;
      return {"still.png", f,
              "videotestsrc num-buffers=1 ! video/x-raw,width=320,height=240 ! pngenc ! "
              "filesink name=sink"};
    }
    case ClipKind::Mp4Hd20s: {
      const ClipFacts f = WithAudio(Picture(1280, 720, 25, 1, 500), 1, 48000, 2);
      return {"hd-20s.mp4", f, Mux("mp4mux") + Video(f, kH264) + Audio(f, kAac, 20)};
    }
    case ClipKind::Mp4TwoMinutes: {
      const ClipFacts f = WithAudio(Picture(320, 240, 25, 1, 3000), 1, 44100, 2);
      return {"two-minutes-320x240.mp4", f, Mux("mp4mux") + Video(f, kH264) + Audio(f, kAac, 120)};
    }
    case ClipKind::WebmRecordedLive:
      return {"recorded-live.webm", standard,
              Mux("webmmux streamable=true") + Video(standard, "vp8enc deadline=1") +
                  Audio(standard, "vorbisenc", 2)};
    case ClipKind::Mp4FullColour:
      return {"full-colour.mp4", standard,
              Mux("mp4mux") + Video(standard, kH264, "Y444") + Audio(standard, kAac, 2)};
  }
  throw std::logic_error("unknown clip kind");
}

fs::path Folder() {
  fs::path folder =
      fs::temp_directory_path() / ("reelcast-media-" + std::to_string(getuid())) / kVersion;
  fs::create_directories(folder);
  return folder;
}

// A name of our own beside the target, so that processes making the same
// clip at once never write into one file.
fs::path TemporaryBeside(const fs::path& target) {
  static std::atomic<int> counter{0};
  return target.parent_path() / (".making-" + std::to_string(getpid()) + "-" +
                                 std::to_string(counter++) + "-" + target.filename().string());
}

GstPadProbeReturn DropEveryThirdFrame(GstPad*, GstPadProbeInfo*, gpointer) {
  static std::atomic<int> frame{0};
  return frame++ % 3 == 2 ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

GstPadProbeReturn RemoveFrameRate(GstPad*, GstPadProbeInfo* info, gpointer) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS) return GST_PAD_PROBE_OK;
  GstCaps* caps = nullptr;
  gst_event_parse_caps(event, &caps);
  gst::CapsPtr changed(gst_caps_copy(caps));
  gst_caps_set_simple(changed.get(), "framerate", GST_TYPE_FRACTION, 0, 1, nullptr);
  GST_PAD_PROBE_INFO_DATA(info) = gst_event_new_caps(changed.get());
  gst_event_unref(event);
  return GST_PAD_PROBE_OK;
}

void AddPadProbe(GstElement* pipeline, const char* element, GstPadProbeType type,
                 GstPadProbeCallback callback) {
  gst::ElementPtr found(gst_bin_get_by_name(GST_BIN(pipeline), element));
  if (!found) throw std::runtime_error(std::string("fixture pipeline lacks ") + element);
  gst::PadPtr pad(gst_element_get_static_pad(found.get(), "src"));
  gst_pad_add_probe(pad.get(), type, callback, nullptr, nullptr);
}

void RunPipeline(const std::string& description, const fs::path& output, ClipKind kind) {
  GError* parseError = nullptr;
  gst::ElementPtr pipeline(gst_parse_launch(description.c_str(), &parseError));
  const gst::ErrorPtr error(parseError);
  if (!pipeline || error)
    throw std::runtime_error("fixture pipeline does not parse: " +
                             std::string(error ? error.get()->message : description));
  gst::ElementPtr sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
  g_object_set(sink.get(), "location", output.c_str(), nullptr);
  if (kind == ClipKind::MkvVariableRate || kind == ClipKind::MkvVariableRateWithAudio)
    AddPadProbe(pipeline.get(), "vsrc", GST_PAD_PROBE_TYPE_BUFFER, DropEveryThirdFrame);
  if (kind == ClipKind::MkvVariableRate || kind == ClipKind::MkvVariableRateWithAudio ||
      kind == ClipKind::MkvOneFrameNoRate)
    AddPadProbe(pipeline.get(), "vfr", GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, RemoveFrameRate);

  gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
  gst::BusPtr bus(gst_element_get_bus(pipeline.get()));
  gst::MessagePtr message(
      gst_bus_timed_pop_filtered(bus.get(), 300 * GST_SECOND,
                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  if (!message || GST_MESSAGE_TYPE(message.get()) != GST_MESSAGE_EOS) {
    std::string why = "timed out";
    if (message) {
      GError* runError = nullptr;
      gst_message_parse_error(message.get(), &runError, nullptr);
      const gst::ErrorPtr owner(runError);
      why = runError ? runError->message : "error";
    }
    throw std::runtime_error("fixture " + output.filename().string() + " failed: " + why);
  }
}

void WriteText(const fs::path& output, const std::string& text) {
  std::ofstream out(output, std::ios::binary);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + output.string());
}

void CopyPrefix(const fs::path& from, const fs::path& to, double fraction) {
  std::ifstream in(from, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  WriteText(to, bytes.substr(0, static_cast<std::size_t>(bytes.size() * fraction)));
}

void Make(ClipKind kind, const Recipe& recipe, const fs::path& output) {
  switch (kind) {
    case ClipKind::TextNamedMp4:
      return WriteText(output, "This is a note about the holiday, not a video.\n");
    case ClipKind::EmptyMp4:
      return WriteText(output, "");
    case ClipKind::TruncatedMp4:
      return CopyPrefix(Clip(ClipKind::Mp4H264Aac), output, 0.5);
    case ClipKind::OddName:
      return CopyPrefix(Clip(ClipKind::Mp4H264Aac), output, 1.0);
    default:
      return RunPipeline(recipe.pipeline, output, kind);
  }
}

}  // namespace

std::string Clip(ClipKind kind) {
  gst_init(nullptr, nullptr);
  const Recipe recipe = RecipeFor(kind);
  const fs::path target = Folder() / recipe.file;
  std::error_code error;
  if (fs::exists(target, error)) return target.string();
  const fs::path making = TemporaryBeside(target);
  try {
    Make(kind, recipe, making);
  } catch (...) {
    fs::remove(making, error);
    throw;
  }
  test_support::KeepFirst(making.string(), target.string());
  return target.string();
}

ClipFacts FactsOf(ClipKind kind) { return RecipeFor(kind).facts; }

DecodersHidden::DecodersHidden(const std::string& caps) {
  gst_init(nullptr, nullptr);
  gst::CapsPtr wanted(gst_caps_from_string(caps.c_str()));
  GList* decoders =
      gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODER, GST_RANK_NONE);
  GList* matching = gst_element_factory_list_filter(decoders, wanted.get(), GST_PAD_SINK, FALSE);
  for (GList* item = matching; item; item = item->next) {
    auto* feature = GST_PLUGIN_FEATURE(item->data);
    ranks_.emplace_back(gst_plugin_feature_get_name(feature), gst_plugin_feature_get_rank(feature));
    gst_plugin_feature_set_rank(feature, GST_RANK_NONE);
  }
  gst_plugin_feature_list_free(matching);
  gst_plugin_feature_list_free(decoders);
}

DecodersHidden::~DecodersHidden() {
  for (const auto& [name, rank] : ranks_) {
    const gst::ElementFactoryPtr factory(gst_element_factory_find(name.c_str()));
    if (factory) gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(factory.get()), rank);
  }
}

}  // namespace test_support

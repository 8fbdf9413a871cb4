#include "tests/support/gst_test_media.h"

#include <gst/gst.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/gst/gst_handle.h"
#include "tests/support/clip_cache.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/test_environment.h"

namespace gst_test {

namespace {

std::string Folder(const char* name) {
  const std::string folder = test_support::HomeFolder() + "/" + name;
  std::filesystem::create_directories(folder);
  return folder;
}

// Runs the pipeline to its end; throws when it fails.
void RunToEnd(GstElement* pipeline, const std::string& what) {
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  gst::BusPtr bus(gst_element_get_bus(pipeline));
  gst::MessagePtr message(
      gst_bus_timed_pop_filtered(bus.get(), 60 * GST_SECOND,
                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  gst_element_set_state(pipeline, GST_STATE_NULL);
  if (!message || GST_MESSAGE_TYPE(message.get()) != GST_MESSAGE_EOS)
    throw std::runtime_error("could not make the clip " + what);
}

// A clip from a pipeline description whose file sink location is OUT.
std::string MakeClip(const std::string& name, std::string description) {
  return test_support::MadeOnce(name, [&](const std::string& part) {
    description.replace(description.find("OUT"), 3, "\"" + part + "\"");
    GError* raw = nullptr;
    gst::ElementPtr pipeline(gst_parse_launch(description.c_str(), &raw));
    const gst::ErrorPtr error(raw);
    if (!pipeline || error) throw std::runtime_error("bad clip pipeline for " + name);
    RunToEnd(pipeline.get(), name);
  });
}

}  // namespace

std::string BusyClip() {
  return MakeClip(
      "busy.mp4",
      "videotestsrc num-buffers=100 pattern=smpte horizontal-speed=1 ! "
      "video/x-raw,width=320,height=240,framerate=25/1 ! "
      "x264enc speed-preset=ultrafast pass=qual quantizer=12 ! h264parse ! queue ! mp4mux name=m ! "
      "filesink location=OUT "
      "audiotestsrc num-buffers=173 samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2 ! "
      "audioconvert ! avenc_aac ! queue ! m.");
}

std::string TwoAudioTracksClip() {
  return MakeClip("two tracks.mkv",
                  "videotestsrc num-buffers=50 ! video/x-raw,width=320,height=240,framerate=25/1 ! "
                  "x264enc speed-preset=ultrafast ! queue ! matroskamux name=m ! "
                  "filesink location=OUT "
                  "audiotestsrc num-buffers=87 samplesperbuffer=1024 ! "
                  "audio/x-raw,rate=44100,channels=2 ! audioconvert ! avenc_aac ! queue ! m. "
                  "audiotestsrc num-buffers=100 samplesperbuffer=960 wave=silence ! "
                  "audio/x-raw,rate=48000,channels=1 ! audioconvert ! avenc_aac ! queue ! m.");
}

std::string LongClip() {
  return MakeClip("long.mkv",
                  "videotestsrc num-buffers=750 pattern=ball ! "
                  "video/x-raw,width=320,height=240,framerate=25/1 ! "
                  "x264enc speed-preset=ultrafast ! queue ! matroskamux name=m ! "
                  "filesink location=OUT "
                  "audiotestsrc num-buffers=1292 samplesperbuffer=1024 ! "
                  "audio/x-raw,rate=44100,channels=2 ! audioconvert ! avenc_aac ! queue ! m.");
}

std::string UndecodableAudioClip() {
  return test_support::MadeOnce("undecodable audio.avi", [](const std::string& part) {
    std::ifstream in(test_support::Clip(test_support::ClipKind::AviMpeg4Mp3), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The audio stream's header, then its format: a WAVEFORMATEX after the
    // chunk's id and size.
    const auto audio = bytes.find("auds");
    const auto format = bytes.find("strf", audio);
    if (audio == std::string::npos || format == std::string::npos)
      throw std::runtime_error("the AVI fixture has no audio format");
    bytes[format + 8] = '\x77';
    bytes[format + 9] = '\x77';
    std::ofstream(part, std::ios::binary) << bytes;
  });
}

std::string OutputPath(const std::string& name) {
  static int serial = 0;
  const std::string folder = Folder("out") + "/" + std::to_string(++serial);
  std::filesystem::create_directories(folder);
  return folder + "/" + name;
}

}  // namespace gst_test

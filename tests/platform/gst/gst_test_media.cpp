#include "tests/platform/gst/gst_test_media.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

#include "platform/gst/gst_handle.h"
#include "tests/support/test_environment.h"

namespace gst_test {

namespace {

std::string Folder(const char* name) {
  const std::string folder = test_support::HomeFolder() + "/" + name;
  std::filesystem::create_directories(folder);
  return folder;
}

// Clips are shared by the test processes of this user; each is written
// under a name of its own and renamed into place, so a clip that exists is
// whole.
std::string ClipFolder() {
  const std::string folder = (std::filesystem::temp_directory_path() /
                              ("reelcast-gst-clips-" + std::to_string(getuid())) / "v1")
                                 .string();
  std::filesystem::create_directories(folder);
  return folder;
}

std::string PartPath(const std::string& path) {
  return path + ".part-" + std::to_string(getpid());
}

// Runs the pipeline to its end; throws when it fails.
void RunToEnd(GstElement* pipeline, const std::string& what) {
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  gst::BusPtr bus(gst_element_get_bus(pipeline));
  gst::MessagePtr message(gst_bus_timed_pop_filtered(
      bus.get(), 60 * GST_SECOND,
      static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  gst_element_set_state(pipeline, GST_STATE_NULL);
  if (!message || GST_MESSAGE_TYPE(message.get()) != GST_MESSAGE_EOS)
    throw std::runtime_error("could not make the clip " + what);
}

// A clip from a pipeline description whose file sink location is OUT.
std::string MakeClip(const std::string& name, std::string description) {
  const std::string path = ClipFolder() + "/" + name;
  if (std::filesystem::exists(path)) return path;
  const std::string part = PartPath(path);
  description.replace(description.find("OUT"), 3, "\"" + part + "\"");
  GError* raw = nullptr;
  gst::ElementPtr pipeline(gst_parse_launch(description.c_str(), &raw));
  const gst::ErrorPtr error(raw);
  if (!pipeline || error) throw std::runtime_error("bad clip pipeline for " + name);
  RunToEnd(pipeline.get(), name);
  std::filesystem::rename(part, path);
  return path;
}

QString Run(const char* program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(QString::fromLatin1(program), arguments);
  process.waitForFinished(120000);
  return QString::fromUtf8(process.readAll());
}

}  // namespace

std::string StandardClip() {
  return MakeClip(
      "standard.mp4",
      "videotestsrc num-buffers=100 pattern=smpte horizontal-speed=1 ! "
      "video/x-raw,width=320,height=240,framerate=25/1 ! "
      "x264enc speed-preset=ultrafast pass=qual quantizer=12 ! h264parse ! queue ! mp4mux name=m ! "
      "filesink location=OUT "
      "audiotestsrc num-buffers=173 samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2 ! "
      "audioconvert ! avenc_aac ! queue ! m.");
}

std::string OddSizeClip() {
  return MakeClip("odd size.mkv",
                  "videotestsrc num-buffers=50 pattern=ball ! "
                  "video/x-raw,width=641,height=481,framerate=25/1 ! "
                  "x264enc speed-preset=ultrafast ! queue ! matroskamux name=m ! "
                  "filesink location=OUT "
                  "audiotestsrc num-buffers=87 samplesperbuffer=1024 ! "
                  "audio/x-raw,rate=44100,channels=2 ! audioconvert ! avenc_aac ! queue ! m.");
}

std::string VariableRateClip() {
  const std::string path = ClipFolder() + "/variable rate.mkv";
  if (std::filesystem::exists(path)) return path;
  GError* raw = nullptr;
  gst::ElementPtr pipeline(gst_parse_launch(
      "appsrc name=frames format=time ! videoconvert ! x264enc speed-preset=ultrafast ! "
      "matroskamux ! filesink name=out",
      &raw));
  const gst::ErrorPtr error(raw);
  if (!pipeline || error) throw std::runtime_error("bad variable rate pipeline");
  gst::ElementPtr source(gst_bin_get_by_name(GST_BIN(pipeline.get()), "frames"));
  gst::ElementPtr sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
  const std::string part = PartPath(path);
  g_object_set(sink.get(), "location", part.c_str(), nullptr);
  gst::CapsPtr caps(gst_caps_from_string(
      "video/x-raw,format=I420,width=320,height=240,framerate=0/1"));
  gst_app_src_set_caps(GST_APP_SRC(source.get()), caps.get());
  // Frame times alternate between 20 and 60 ms: 50 frames in 2 s.
  GstClockTime time = 0;
  for (int i = 0; i < 50; ++i) {
    const gsize size = 320 * 240 * 3 / 2;
    GstBuffer* frame = gst_buffer_new_allocate(nullptr, size, nullptr);
    gst_buffer_memset(frame, 0, static_cast<guint8>(i * 5), size);
    const GstClockTime duration = (i % 2 ? 60 : 20) * GST_MSECOND;
    GST_BUFFER_PTS(frame) = time;
    GST_BUFFER_DURATION(frame) = duration;
    time += duration;
    gst_app_src_push_buffer(GST_APP_SRC(source.get()), frame);
  }
  gst_app_src_end_of_stream(GST_APP_SRC(source.get()));
  RunToEnd(pipeline.get(), path);
  std::filesystem::rename(part, path);
  return path;
}

std::string SurroundClip() {
  return MakeClip("surround.mkv",
                  "videotestsrc num-buffers=50 ! video/x-raw,width=320,height=240,framerate=25/1 ! "
                  "x264enc speed-preset=ultrafast ! queue ! matroskamux name=m ! "
                  "filesink location=OUT "
                  "audiotestsrc num-buffers=100 samplesperbuffer=1920 ! "
                  "audio/x-raw,rate=96000,channels=6 ! audioconvert ! flacenc ! queue ! m.");
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

std::string VideoOnlyClip() {
  return MakeClip("video only.mp4",
                  "videotestsrc num-buffers=50 ! video/x-raw,width=320,height=240,framerate=25/1 ! "
                  "x264enc speed-preset=ultrafast ! h264parse ! mp4mux ! filesink location=OUT");
}

std::string NotMediaClip() {
  const std::string path = ClipFolder() + "/not media.mp4";
  if (std::filesystem::exists(path)) return path;
  const std::string part = PartPath(path);
  {
    std::mt19937 random(7);
    std::ofstream out(part, std::ios::binary);
    for (int i = 0; i < 64 * 1024; ++i) out.put(static_cast<char>(random() & 0xFF));
  }
  std::filesystem::rename(part, path);
  return path;
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

std::string OutputPath(const std::string& name) {
  static int serial = 0;
  const std::string folder = Folder("out") + "/" + std::to_string(++serial);
  std::filesystem::create_directories(folder);
  return folder + "/" + name;
}

const ProbedStream* Probe::First(const std::string& type) const {
  for (const ProbedStream& stream : streams)
    if (stream.type == type) return &stream;
  return nullptr;
}

int Probe::Count(const std::string& type) const {
  int count = 0;
  for (const ProbedStream& stream : streams) count += stream.type == type;
  return count;
}

Probe FfProbe(const std::string& path) {
  const QString text = Run("ffprobe", {QStringLiteral("-v"), QStringLiteral("error"),
                                       QStringLiteral("-show_format"),
                                       QStringLiteral("-show_streams"), QStringLiteral("-of"),
                                       QStringLiteral("flat"), QString::fromStdString(path)});
  Probe probe;
  std::map<int, ProbedStream> streams;
  for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const auto equals = line.indexOf(QLatin1Char('='));
    if (equals < 0) continue;
    const QString key = line.left(equals);
    QString value = line.mid(equals + 1);
    value.remove(QLatin1Char('"'));
    if (key == QStringLiteral("format.duration")) {
      probe.ok = true;
      probe.duration = value.toDouble();
      continue;
    }
    const QStringList parts = key.split(QLatin1Char('.'));
    if (parts.size() != 4 || parts[0] != QStringLiteral("streams")) continue;
    ProbedStream& stream = streams[parts[2].toInt()];
    const QString& field = parts[3];
    if (field == QStringLiteral("codec_type")) stream.type = value.toStdString();
    else if (field == QStringLiteral("codec_name")) stream.codec = value.toStdString();
    else if (field == QStringLiteral("width")) stream.width = value.toInt();
    else if (field == QStringLiteral("height")) stream.height = value.toInt();
    else if (field == QStringLiteral("sample_rate")) stream.sampleRate = value.toInt();
    else if (field == QStringLiteral("channels")) stream.channels = value.toInt();
    else if (field == QStringLiteral("bit_rate")) stream.bitRate = value.toDouble();
    else if (field == QStringLiteral("avg_frame_rate")) {
      const QStringList fraction = value.split(QLatin1Char('/'));
      if (fraction.size() == 2 && fraction[1].toDouble() > 0)
        stream.frameRate = fraction[0].toDouble() / fraction[1].toDouble();
    }
  }
  for (auto& [index, stream] : streams) probe.streams.push_back(stream);
  if (!probe.ok) probe.error = text.toStdString();
  return probe;
}

double MeasuredBitrate(const std::string& path, const std::string& type) {
  const QString sizes =
      Run("ffprobe", {QStringLiteral("-v"), QStringLiteral("error"),
                      QStringLiteral("-select_streams"),
                      QString::fromStdString(type == "video" ? "v:0" : "a:0"),
                      QStringLiteral("-show_entries"), QStringLiteral("packet=size"),
                      QStringLiteral("-of"), QStringLiteral("csv=p=0"),
                      QString::fromStdString(path)});
  double bytes = 0;
  for (const QString& line : sizes.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    bytes += line.trimmed().toDouble();
  const double duration = FfProbe(path).duration;
  return duration > 0 ? bytes * 8 / duration : 0;
}

std::string DecodeErrors(const std::string& path) {
  return Run("ffmpeg", {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                        QStringLiteral("-i"), QString::fromStdString(path), QStringLiteral("-f"),
                        QStringLiteral("null"), QStringLiteral("-")})
      .toStdString();
}

}  // namespace gst_test

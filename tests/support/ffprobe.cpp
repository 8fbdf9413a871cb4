#include "tests/support/ffprobe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/support/child_process.h"

namespace test_support {

namespace {

double Number(const QJsonValue& value, double missing) {
  if (value.isDouble()) return value.toDouble();
  bool ok = false;
  const double parsed = value.toString().toDouble(&ok);
  return ok ? parsed : missing;
}

double Rate(const QString& fraction) {
  const QStringList parts = fraction.split(QLatin1Char('/'));
  if (parts.size() != 2) return 0;
  const double den = parts[1].toDouble();
  return den > 0 ? parts[0].toDouble() / den : 0;
}

constexpr int kHeardRate = 8000;

// How loud the first audio stream is, sample by sample in mono at
// kHeardRate, as a player that keeps to the stream's times plays it:
// sample i sounds i / kHeardRate seconds after the file's start, and gaps
// are silent. Empty when there is no sound to decode.
std::vector<int> HeardSound(const std::string& path) {
  const ProbeReport probe = FfProbe(path);
  if (probe.CountOf("audio") == 0) return {};
  const ToolOutput decoded =
      RunTool("ffmpeg", {"-nostdin", "-v", "error", "-copyts", "-i", path, "-map", "0:a:0", "-af",
                         "aresample=async=1:first_pts=0", "-ac", "1", "-ar",
                         std::to_string(kHeardRate), "-f", "s16le", "-"});
  if (!decoded.finished || decoded.exitCode != 0) return {};
  const auto before = static_cast<std::size_t>(std::max(0.0, probe.startTime) * kHeardRate);
  std::vector<int> heard;
  for (std::size_t i = before; 2 * i + 1 < decoded.out.size(); ++i) {
    const auto low = static_cast<unsigned char>(decoded.out[2 * i]);
    const auto high = static_cast<unsigned char>(decoded.out[2 * i + 1]);
    heard.push_back(std::abs(static_cast<std::int16_t>(high << 8 | low)));
  }
  return heard;
}

}  // namespace

ToolOutput RunTool(const std::string& program, const std::vector<std::string>& arguments) {
  const ChildOutcome child = RunChild(program, arguments);
  return {child.exited, child.status, child.out, child.err};
}

int ProbeReport::CountOf(const std::string& codecType) const {
  int count = 0;
  for (const auto& stream : streams) count += stream.codecType == codecType;
  return count;
}

ProbedStream ProbeReport::First(const std::string& codecType) const {
  for (const auto& stream : streams)
    if (stream.codecType == codecType) return stream;
  return {};
}

ProbeReport FfProbe(const std::string& path) {
  const ToolOutput output =
      RunTool("ffprobe", {"-v", "error", "-of", "json", "-show_format", "-show_streams", path});
  ProbeReport report;
  report.error = output.err;
  const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(output.out)).object();
  if (!output.finished || !root.contains(QStringLiteral("format"))) return report;
  report.ok = true;
  report.duration = Number(root[QStringLiteral("format")][QStringLiteral("duration")], -1);
  for (const auto& item : root[QStringLiteral("streams")].toArray()) {
    const QJsonObject s = item.toObject();
    ProbedStream stream;
    stream.codecType = s[QStringLiteral("codec_type")].toString().toStdString();
    stream.codecName = s[QStringLiteral("codec_name")].toString().toStdString();
    stream.width = s[QStringLiteral("width")].toInt();
    stream.height = s[QStringLiteral("height")].toInt();
    stream.displayAspect = s[QStringLiteral("display_aspect_ratio")].toString().toStdString();
    stream.frameRate = Rate(s[QStringLiteral("avg_frame_rate")].toString());
    stream.sampleRate = static_cast<int>(Number(s[QStringLiteral("sample_rate")], 0));
    stream.channels = s[QStringLiteral("channels")].toInt();
    stream.startTime = Number(s[QStringLiteral("start_time")], 0);
    stream.duration = Number(s[QStringLiteral("duration")], -1);
    stream.bitRate = Number(s[QStringLiteral("bit_rate")], 0);
    report.streams.push_back(stream);
  }
  report.startTime = Number(root[QStringLiteral("format")][QStringLiteral("start_time")], 0);
  return report;
}

double MeasuredBitrate(const std::string& path, const std::string& codecType) {
  const ToolOutput output =
      RunTool("ffprobe", {"-v", "error", "-select_streams", codecType == "video" ? "v:0" : "a:0",
                          "-show_entries", "packet=size", "-of", "csv=p=0", path});
  double bytes = 0;
  for (const QByteArray& line : QByteArray::fromStdString(output.out).split('\n'))
    bytes += line.trimmed().toDouble();
  const double duration = FfProbe(path).duration;
  return output.finished && duration > 0 ? bytes * 8 / duration : 0;
}

double SoundStart(const std::string& path) {
  const ProbeReport probe = FfProbe(path);
  if (probe.CountOf("audio") == 0) return -1;
  // ffmpeg counts time from the file's start, as the result does.
  const double first = probe.First("audio").startTime - probe.startTime;
  const ToolOutput detected =
      RunTool("ffmpeg", {"-nostdin", "-i", path, "-map", "0:a:0", "-af",
                         "silencedetect=noise=-50dB:duration=0.05", "-f", "null", "-"});
  const auto start = detected.err.find("silence_start: ");
  const auto end = detected.err.find("silence_end: ");
  if (start == std::string::npos || end == std::string::npos) return first;
  const double silenceStart = std::stod(detected.err.substr(start + 15));
  return std::abs(silenceStart - first) < 0.05 ? std::stod(detected.err.substr(end + 13)) : first;
}

double SoundEnd(const std::string& path) {
  const std::vector<int> heard = HeardSound(path);
  if (heard.empty()) return -1;
  // Louder than -50 dB, where silencedetect hears silence end.
  constexpr int kQuiet = 104;
  const auto last = std::find_if(heard.rbegin(), heard.rend(), [](int x) { return x > kQuiet; });
  return double(heard.rend() - last) / kHeardRate;
}

std::vector<double> BeepStarts(const std::string& path) {
  constexpr int kLoud = 3277;
  constexpr int kPause = kHeardRate / 20;
  std::vector<double> starts;
  int quiet = kPause;
  const std::vector<int> heard = HeardSound(path);
  for (std::size_t i = 0; i < heard.size(); ++i) {
    if (heard[i] <= kLoud) {
      ++quiet;
      continue;
    }
    if (quiet >= kPause) starts.push_back(double(i) / kHeardRate);
    quiet = 0;
  }
  return starts;
}

double MeanVolume(const std::string& path) {
  const ToolOutput detected = RunTool("ffmpeg", {"-nostdin", "-i", path, "-map", "0:a:0", "-af",
                                                 "volumedetect", "-f", "null", "-"});
  const auto at = detected.err.find("mean_volume: ");
  return at == std::string::npos ? -1000 : std::stod(detected.err.substr(at + 13));
}

double FirstPicturePsnr(const std::string& path, const std::string& reference) {
  const ToolOutput compared =
      RunTool("ffmpeg", {"-nostdin", "-i", path, "-i", reference, "-lavfi", "[0:v:0][1:v:0]psnr",
                         "-frames:v", "1", "-f", "null", "-"});
  const auto at = compared.err.find("average:");
  return at == std::string::npos ? -1 : std::stod(compared.err.substr(at + 8));
}

namespace {

// Each packet's start and end in seconds, of the streams `selected` names
// (ffprobe's stream specifier; empty for all).
std::vector<std::pair<double, double>> Packets(const std::string& path,
                                               const std::string& selected) {
  std::vector<std::string> arguments{"-v", "error"};
  if (!selected.empty()) arguments.insert(arguments.end(), {"-select_streams", selected});
  arguments.insert(arguments.end(),
                   {"-show_entries", "packet=pts_time,duration_time", "-of", "csv=p=0", path});
  const ToolOutput output = RunTool("ffprobe", arguments);
  std::vector<std::pair<double, double>> packets;
  for (const QByteArray& line : QByteArray::fromStdString(output.out).split('\n')) {
    const QList<QByteArray> fields = line.trimmed().split(',');
    bool ok = false;
    const double pts = fields.value(0).toDouble(&ok);
    if (ok) packets.emplace_back(pts, pts + fields.value(1).toDouble());
  }
  return packets;
}

}  // namespace

double PacketSpan(const std::string& path) {
  const auto packets = Packets(path, "");
  if (packets.empty()) return -1;
  double first = packets.front().first;
  double last = packets.front().second;
  for (const auto& [start, end] : packets) {
    first = std::min(first, start);
    last = std::max(last, end);
  }
  return last - first;
}

std::vector<double> PacketTimes(const std::string& path, const std::string& codecType) {
  std::vector<double> times;
  for (const auto& packet : Packets(path, codecType.substr(0, 1) + ":0"))
    times.push_back(packet.first);
  return times;
}

int DistinctPictures(const std::string& path) {
  const ToolOutput output =
      RunTool("ffmpeg", {"-nostdin", "-v", "error", "-i", path, "-map", "0:v:0", "-vf",
                         "mpdecimate=hi=64:lo=32:frac=0.1", "-f", "framecrc", "-"});
  if (!output.finished || output.exitCode != 0) return -1;
  int pictures = 0;
  std::istringstream lines(output.out);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty() && line.front() != '#') ++pictures;
  return pictures;
}

double FirstPictureChange(const std::string& path) {
  const ProbeReport probe = FfProbe(path);
  const ToolOutput output = RunTool("ffmpeg", {"-nostdin", "-copyts", "-i", path, "-map", "0:v:0",
                                               "-vf", "mpdecimate,showinfo", "-f", "null", "-"});
  if (!output.finished || output.exitCode != 0) return -1;
  // showinfo's second picture is the first that mpdecimate kept as new; its
  // usual thresholds pass over what an encoder changes in a held picture.
  int seen = 0;
  std::istringstream lines(output.err);
  for (std::string line; std::getline(lines, line);) {
    const auto at = line.find(" pts_time:");
    if (line.find("Parsed_showinfo") == std::string::npos || at == std::string::npos) continue;
    if (++seen == 2) return std::stod(line.substr(at + 10)) - std::max(0.0, probe.startTime);
  }
  return -1;
}

std::string DecodeErrors(const std::string& path) {
  const ToolOutput output =
      RunTool("ffmpeg", {"-nostdin", "-v", "error", "-i", path, "-f", "null", "-"});
  if (!output.finished) return "ffmpeg did not finish";
  return output.err;
}

}  // namespace test_support

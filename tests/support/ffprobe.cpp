#include "tests/support/ffprobe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace test_support {

namespace {

struct Output {
  bool finished = false;
  QByteArray out;
  QByteArray err;
};

Output Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  Output result;
  result.finished = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
  result.out = process.readAllStandardOutput();
  result.err = process.readAllStandardError();
  if (!result.finished) process.kill();
  return result;
}

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

}  // namespace

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
  const Output output =
      Run(QStringLiteral("ffprobe"),
          {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-of"),
           QStringLiteral("json"), QStringLiteral("-show_format"), QStringLiteral("-show_streams"),
           QString::fromStdString(path)});
  ProbeReport report;
  report.error = output.err.toStdString();
  const QJsonObject root = QJsonDocument::fromJson(output.out).object();
  if (!output.finished || !root.contains(QStringLiteral("format"))) return report;
  report.ok = true;
  report.duration = Number(root[QStringLiteral("format")][QStringLiteral("duration")], -1);
  for (const QJsonValue& item : root[QStringLiteral("streams")].toArray()) {
    const QJsonObject s = item.toObject();
    ProbedStream stream;
    stream.codecType = s[QStringLiteral("codec_type")].toString().toStdString();
    stream.codecName = s[QStringLiteral("codec_name")].toString().toStdString();
    stream.width = s[QStringLiteral("width")].toInt();
    stream.height = s[QStringLiteral("height")].toInt();
    stream.frameRate = Rate(s[QStringLiteral("avg_frame_rate")].toString());
    stream.sampleRate = static_cast<int>(Number(s[QStringLiteral("sample_rate")], 0));
    stream.channels = s[QStringLiteral("channels")].toInt();
    stream.duration = Number(s[QStringLiteral("duration")], -1);
    stream.bitRate = Number(s[QStringLiteral("bit_rate")], 0);
    report.streams.push_back(stream);
  }
  return report;
}

double MeasuredBitrate(const std::string& path, const std::string& codecType) {
  const QString selector = QString::fromStdString(codecType == "video" ? "v:0" : "a:0");
  const Output output =
      Run(QStringLiteral("ffprobe"),
          {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
           selector, QStringLiteral("-show_entries"), QStringLiteral("packet=size"),
           QStringLiteral("-of"), QStringLiteral("csv=p=0"), QString::fromStdString(path)});
  double bytes = 0;
  for (const QByteArray& line : output.out.split('\n')) bytes += line.trimmed().toDouble();
  const double duration = FfProbe(path).duration;
  return output.finished && duration > 0 ? bytes * 8 / duration : 0;
}

std::string DecodeErrors(const std::string& path) {
  const Output output =
      Run(QStringLiteral("ffmpeg"),
          {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
           QStringLiteral("-i"), QString::fromStdString(path), QStringLiteral("-f"),
           QStringLiteral("null"), QStringLiteral("-")});
  if (!output.finished) return "ffmpeg did not finish";
  return output.err.toStdString();
}

}  // namespace test_support

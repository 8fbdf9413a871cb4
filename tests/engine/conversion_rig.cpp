#include "tests/engine/conversion_rig.h"

#include <gtest/gtest.h>

#include "engine/compressor_catalogue.h"
#include "engine/graph_teardown.h"
#include "engine/source_graph.h"
#include "platform/text/ascii_case.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/waiting.h"

namespace engine_test {

namespace {

bool Ends(long event) {
  return event == EC_COMPLETE || event == EC_ERRORABORT || event == EC_USERABORT;
}

}  // namespace

int CompressorIndex(const std::string& fragment, bool video) {
  if (fragment.empty()) return -1;
  const auto names = ListCompressors(video ? CompressorKind::Video : CompressorKind::Audio);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (text::AsciiLower(names[i]).find(text::AsciiLower(fragment)) != std::string::npos)
      return static_cast<int>(i);
  ADD_FAILURE() << "no compressor named like " << fragment;
  return -1;
}

ConversionRig::ConversionRig(const std::string& sourcePath, int format,
                             const std::string& outputName)
    : source(sourcePath) {
  settings.outputFormat = format;
  settings.outputPath = gst_test::OutputPath(outputName);
  std::int64_t duration = 0;
  EXPECT_EQ(ProbeSourceFile(source, duration, media, settings), 1) << source;
  media.duration = duration;
  settings.frameRate = media.frameRate;
  EXPECT_EQ(CreateSourceGraph(source, context), 1);
  auto counter = notifications_;
  window_ = std::make_shared<ui::MessagePort>([counter](UINT message, WPARAM, LPARAM) {
    if (message == WM_GRAPHNOTIFY) ++*counter;
  });
}

ConversionRig::~ConversionRig() {
  if (context.control) context.control->Stop();
}

void ConversionRig::UseCompressors(const std::string& video, const std::string& audio) {
  settings.videoCompressorIndex = CompressorIndex(video, true);
  settings.audioCompressorIndex = CompressorIndex(audio, false);
  settings.videoCompressionOn = settings.videoCompressorIndex >= 0 ? 1 : 0;
  settings.audioCompressionOn = settings.audioCompressorIndex >= 0 ? 1 : 0;
  context.videoCompressor.Reset();
  context.audioCompressor.Reset();
}

HRESULT ConversionRig::Build() {
  ConversionRequest request{settings, context, window_, errorText};
  return BuildGraphWithCompressors(request);
}

HRESULT ConversionRig::Start() {
  if (!context.control) return E_POINTER;
  return context.control->Run();
}

bool ConversionRig::BuildAndStart() {
  const HRESULT built = Build();
  EXPECT_GE(built, 0) << "messages: " << testing::PrintToString(Messages());
  if (built < 0) return false;
  const HRESULT started = Start();
  EXPECT_EQ(started, S_OK);
  return started == S_OK;
}

RunEnd ConversionRig::WaitForEnd() {
  RunEnd end;
  const bool ended = test_support::WaitUntil([&] {
    long code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    if (!context.events || FAILED(context.events->GetEvent(code, param1, param2, 100)))
      return false;
    context.events->FreeEventParams(code, param1, param2);
    if (!Ends(code)) return false;
    end.event = code;
    end.param1 = param1;
    return true;
  });
  if (!ended) {
    ADD_FAILURE() << "the run did not end";
    return end;
  }
  // The window is told just after the event is queued.
  EXPECT_TRUE(test_support::WaitUntil([&] { return Notifications() > 0; }));
  return end;
}

double ConversionRig::PositionSeconds() {
  ComPtr<IMediaSeeking> seeking;
  REFERENCE_TIME position = 0;
  if (!context.graph || FAILED(context.graph.As(seeking)) ||
      FAILED(seeking->GetCurrentPosition(position)))
    return -1;
  return position / 1e7;
}

bool ConversionRig::WaitForPosition(double seconds) {
  return test_support::WaitUntil([&] { return PositionSeconds() >= seconds; });
}

void ConversionRig::TearDown() {
  if (context.control) context.control->Stop();
  if (context.events) context.events->SetNotifyWindow(nullptr, 0, 0);
  if (context.graph) {
    EXPECT_EQ(TearDownGraph(context.graph.Get(), source, settings, context), S_OK);
  }
  context.ReleaseGraph();
  EXPECT_EQ(CreateSourceGraph(source, context), 1);
}

RunEnd ConversionRig::Convert() {
  RunEnd end;
  if (BuildAndStart()) end = WaitForEnd();
  TearDown();
  return end;
}

}  // namespace engine_test

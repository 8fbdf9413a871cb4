#include "engine/conversion_graph.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "engine/compressor_catalogue.h"
#include "engine/engine_messages.h"
#include "engine/graph_utilities.h"
#include "engine/wm_profile_builder.h"
#include "platform/com/runtime.h"
#include "platform/dshow/capture_interfaces.h"
#include "platform/dshow/control_interfaces.h"
#include "platform/dshow/error_text.h"
#include "platform/dshow/guids.h"
#include "platform/wmf/wm_types.h"
#include "resources/vendor_info.h"

namespace {

constexpr std::uint32_t kFourccWmv3 = 0x33564D57;  // "WMV3"

bool IsWindowsMedia(int format) { return format == kFormatWmv || format == kFormatAsf; }

// Why the profile cannot hold a frame rate, or nothing when it can. The
// profile takes the rate's whole part, from 1 to kMaxProfileFrameRate; the
// test comes before any conversion to an integer (also a rate that is no
// number at all fails it).
std::optional<std::string> FrameRateRefusal(double rate) {
  if (rate >= 1.0 && rate < static_cast<double>(kMaxProfileFrameRate) + 1.0) return std::nullopt;
  if (std::isnan(rate))
    return std::string("The output frame rate is not a number. Please choose a frame rate.");
  char text[200];
  if (rate < 1.0)
    std::snprintf(text, sizeof text,
                  "The output frame rate %.6g is below one frame per second. Please choose a "
                  "higher frame rate.",
                  rate);
  else
    std::snprintf(text, sizeof text,
                  "The output frame rate %.6g cannot be written: a Windows Media file holds at "
                  "most %u frames per second. Please choose a lower frame rate.",
                  rate, static_cast<unsigned>(kMaxProfileFrameRate));
  return std::string(text);
}

// The platform's text for a code, kept in the window's buffer and shown.
void ShowPlatformError(ConversionRequest& request, HRESULT code) {
  request.errorText = AMGetErrorTextA(code);
  ApplicationMessage(request.errorText);
}

struct Renderers {
  const GUID* majorType;
  const char* noPin;
  const char* notConnected;
  const char* cannotRemove;
};

constexpr Renderers kVideoSide{
    &MEDIATYPE_Video, "Cannot find video renderer input pin!",
    "Cannot find the output pin connected to video renderer's input pin!",
    "Cannot Remove video renderer"};
constexpr Renderers kAudioSide{
    &MEDIATYPE_Audio, "Cannot find audio renderer input pin!",
    "Cannot find the output pin connected to audio renderer's input pin!",
    "Cannot Remove audio renderer"};

// Takes the default renderer of one media type out of the graph and gives
// back the decoder pin that fed it.
HRESULT DetachRenderer(IGraphBuilder* graph, const Renderers& side, ComPtr<IPin>& upstream) {
  ComPtr<IBaseFilter> renderer;
  HRESULT hr = FindRenderer(graph, side.majorType, renderer);
  if (FAILED(hr)) return hr;
  ComPtr<IPin> input;
  if (!renderer || FAILED(GetPin(renderer.Get(), PINDIR_INPUT, 0, input))) {
    WindowMessage(side.noPin);
    return E_FAIL;
  }
  hr = input->ConnectedTo(upstream);
  if (FAILED(hr)) {
    WindowMessage(side.notConnected);
    return hr;
  }
  hr = graph->RemoveFilter(renderer.Get());
  if (FAILED(hr)) {
    WindowMessage(side.cannotRemove);
    return hr;
  }
  return S_OK;
}

HRESULT GenerateConversionProfile(const OutputSettings& s, ComPtr<IWMProfile>& profile) {
  AudioStreamParams audio{static_cast<std::uint32_t>(s.audioBitrate), WAVE_FORMAT_WMAUDIO2, 44100,
                          2};
  VideoStreamParams video{kFourccWmv3,
                          static_cast<std::uint32_t>(s.videoBitrate),
                          static_cast<std::uint32_t>(s.outputHeight),
                          static_cast<std::uint32_t>(s.outputWidth),
                          static_cast<std::uint32_t>(s.frameRate),  // 23.976 gives 23
                          0,
                          8};
  return GenerateProfile(&audio, nullptr, 1, &video, &profile, WMT_VER_9_0);
}

// Configures the Windows Media writer with the generated profile, or with
// the stored profile text when the settings ask for it.
HRESULT ConfigureAsfWriter(IBaseFilter* writer, const OutputSettings& s, IWMProfile* generated) {
  ComPtr<IBaseFilter> filter = ComPtr<IBaseFilter>::Borrow(writer);
  ComPtr<IConfigAsfWriter> config;
  HRESULT hr = filter.As(config);
  if (FAILED(hr)) {
    ReportError("Failed to QI for IConfigAsfWriter!", hr);
    return hr;
  }
  if (s.useFileProfile == 1) {
    ComPtr<IWMProfile> stored;
    hr = MapProfile("test2", &stored);
    if (FAILED(hr)) {
      ReportError("Failed to map profile ID!", hr);
      return hr;
    }
    hr = config->ConfigureFilterUsingProfile(stored.Get());
    if (FAILED(hr)) ReportError("Failed to configure filter to use file profile!", hr);
    return hr;
  }
  hr = config->ConfigureFilterUsingProfile(generated);
  if (FAILED(hr)) ReportError("Failed to configure filter to use profile!", hr);
  return hr;
}

// Adds the multiplexer and writer of the output format. Formats without a
// writer leave `mux` empty: their streams go to default renderers.
HRESULT SetUpOutput(ICaptureGraphBuilder2* builder, ConversionRequest& request,
                    ComPtr<IBaseFilter>& mux) {
  OutputSettings& s = request.settings;
  const int format = s.outputFormat;
  if (format < kFormatAvi || format > kFormatDsm) return S_OK;

  ComPtr<IWMProfile> profile;
  if (IsWindowsMedia(format)) {
    const HRESULT hr = GenerateConversionProfile(s, profile);
    if (FAILED(hr)) {
      ReportError("Failed to GenerateProfile Audio video with script!", hr);
      return hr;
    }
  }

  GUID type = MEDIASUBTYPE_Avi;
  if (IsWindowsMedia(format)) type = CLSID_WMAsfWriter;
  else if (format == kFormatMkv || format == kFormatMp4) type = CLSID_MatroskaMuxer;
  else if (format == kFormatDsm) type = CLSID_DsmMuxer;

  ComPtr<IFileSinkFilter> sink;
  HRESULT hr = builder->SetOutputFileName(type, s.outputPath, mux, sink);
  if (FAILED(hr)) {
    if (format == kFormatMkv || format == kFormatMp4) {
      ApplicationMessage("Please install MKV codec)");
      // The help page that says how to get the missing component.
      OpenHelpPage(kMatroskaRemedyPage);
    } else if (format == kFormatDsm) {
      ApplicationMessage("Please install DSM Splitter/Muxer codec)");
      OpenHelpPage(kDsmRemedyPage);
    } else {
      ApplicationMessage("Error pBuilder->SetOutputFileName(&guid, Filename, &pMux, &pWriter )");
    }
    return hr;
  }

  // Both settings are wishes; a writer without them writes anyway.
  ComPtr<IConfigInterleaving> interleaving;
  if (SUCCEEDED(mux.As(interleaving))) interleaving->put_Mode(INTERLEAVE_FULL);
  ComPtr<IFileSinkFilter2> sink2;
  if (SUCCEEDED(sink.As(sink2))) sink2->SetMode(AM_FILE_OVERWRITE);

  if (IsWindowsMedia(format)) {
    hr = ConfigureAsfWriter(mux.Get(), s, profile.Get());
    if (FAILED(hr)) return hr;
    // The writer encodes by itself: the pins go straight to it.
    s.videoCompressionOn = 0;
    s.audioCompressionOn = 0;
  }
  return S_OK;
}

struct StreamSide {
  const char* compressorName;
  const char* renderFailure;
  // The video side says it in a window message, the audio side in an
  // application message.
  void (*report)(const std::string& text);
};
constexpr StreamSide kVideoStream{"VideoCompressor",
                                  "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux)",
                                  WindowMessage};
constexpr StreamSide kAudioStream{"AudioCompressor",
                                  "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux )",
                                  ApplicationMessage};

// Connects one decoded stream, through its compressor when one is used.
HRESULT ConnectStream(IGraphBuilder* graph, ICaptureGraphBuilder2* builder,
                      ConversionRequest& request, const StreamSide& side, bool compress,
                      IBaseFilter* compressor, IPin* upstream, IBaseFilter* mux) {
  if (compress) {
    const HRESULT hr = graph->AddFilter(compressor, side.compressorName);
    if (FAILED(hr)) {
      ShowPlatformError(request, hr);
      return hr;
    }
  }
  const HRESULT hr =
      builder->RenderStream(nullptr, nullptr, upstream, compress ? compressor : nullptr, mux);
  if (FAILED(hr)) {
    side.report(side.renderFailure);
    ShowPlatformError(request, hr);
  }
  return hr;
}

}  // namespace

HRESULT BuildConversionGraph(IGraphBuilder* graph, ConversionRequest& request) {
  OutputSettings& s = request.settings;
  if (!graph) return E_POINTER;
  if (IsWindowsMedia(s.outputFormat)) {
    if (auto refusal = FrameRateRefusal(s.frameRate)) {
      WindowMessage(*refusal);
      return E_INVALIDARG;
    }
  }

  ComPtr<IPin> videoPin, audioPin;
  HRESULT hr = DetachRenderer(graph, kVideoSide, videoPin);
  if (FAILED(hr)) return hr;
  hr = DetachRenderer(graph, kAudioSide, audioPin);
  if (FAILED(hr)) return hr;

  ComPtr<ICaptureGraphBuilder2> builder;
  hr = CoCreate(CLSID_CaptureGraphBuilder2, builder);
  if (FAILED(hr)) {
    ApplicationMessage("Could not create ICaptureGraphBuilder2");
    return hr;
  }
  hr = builder->SetFiltergraph(graph);
  if (FAILED(hr)) {
    ApplicationMessage("Error pBuilder->SetFiltergraph( pGraph )");
    return hr;
  }

  ComPtr<IBaseFilter> mux;
  hr = SetUpOutput(builder.Get(), request, mux);
  if (FAILED(hr)) return hr;

  GraphContext& context = request.context;
  hr = ConnectStream(graph, builder.Get(), request, kVideoStream, s.videoCompressionOn == 1,
                     context.videoCompressor.Get(), videoPin.Get(), mux.Get());
  if (FAILED(hr)) return hr;
  hr = ConnectStream(graph, builder.Get(), request, kAudioStream, s.audioCompressionOn == 1,
                     context.audioCompressor.Get(), audioPin.Get(), mux.Get());
  if (FAILED(hr)) return hr;

  ComPtr<IGraphBuilder> owned = ComPtr<IGraphBuilder>::Borrow(graph);
  hr = owned.As(context.control);
  if (FAILED(hr)) {
    ApplicationMessage("Could not get pControl");
    return hr;
  }
  hr = owned.As(context.events);
  if (FAILED(hr)) {
    ApplicationMessage("Could not get pEvent");
    return hr;
  }
  hr = context.events->SetNotifyWindow(request.notifyWindow, WM_GRAPHNOTIFY, 0);
  if (FAILED(hr)) ApplicationMessage("can not SetNotifyWindow!!!");
  return hr;
}

HRESULT BuildGraphWithCompressors(ConversionRequest& request) {
  GraphContext& context = request.context;
  if (!context.videoCompressor)
    GetCompressor(request.settings.videoCompressorIndex, &context.videoCompressor);
  if (!context.audioCompressor)
    GetAudioCompressor(request.settings.audioCompressorIndex, &context.audioCompressor);
  return BuildConversionGraph(context.graph.Get(), request);
}

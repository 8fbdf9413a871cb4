#include "platform/dshow/run_plan.h"

#include <vector>

#include "platform/dshow/errors.h"
#include "platform/dshow/pin_walk.h"

namespace dshow {

namespace {

// Where one decoded stream of the source goes.
struct Route {
  StreamInfo stream;
  ComPtr<IBaseFilter> compressor;  // empty when the stream is not compressed
  ComPtr<IBaseFilter> end;         // a renderer, a multiplexer or the Windows Media writer
};

ComPtr<IBaseFilter> NextAfter(IBaseFilter& filter) {
  ComPtr<IPin> output;
  if (FAILED(FirstPin(filter, PINDIR_OUTPUT, output))) return {};
  return PeerFilter(*output);
}

std::optional<Route> Follow(IPin& sourcePin, const StreamInfo& stream) {
  const ComPtr<IBaseFilter> decoder = PeerFilter(sourcePin);
  if (!decoder || !RoleIf<DecoderRole>(*decoder)) return std::nullopt;
  Route route{stream, {}, NextAfter(*decoder)};
  if (route.end && RoleIf<CompressorRole>(*route.end)) {
    route.compressor = route.end;
    route.end = NextAfter(*route.compressor);
  }
  if (!route.end) return std::nullopt;
  return route;
}

// A video's pictures are turned as the file says they are shown. A stream
// without a declared rate is given its measured average, so that containers
// that need a constant rate get the right timing.
void FollowSourcePictures(const StreamInfo& stream, gst::BranchDescription& branch) {
  if (stream.kind != StreamKind::Video) return;
  branch.orientation = stream.orientation;
  if (!stream.frameRateMeasured || branch.video.framerateNum > 0) return;
  branch.video.framerateNum = stream.frameRateNumerator;
  branch.video.framerateDen = stream.frameRateDenominator;
}

gst::BranchDescription BranchOf(const Route& route) {
  gst::BranchDescription branch;
  branch.kind = ToRunKind(route.stream.kind);
  branch.streamIndex = route.stream.indexInKind;
  branch.streamId = route.stream.streamId;
  if (route.compressor)
    branch.encoder =
        gst::ElementChoice::Use(RoleIf<CompressorRole>(*route.compressor)->element.get());
  FollowSourcePictures(route.stream, branch);
  return branch;
}

HRESULT FindSource(IFilterGraph& graph, ComPtr<IBaseFilter>& source) {
  ComPtr<IEnumFilters> filters;
  HRESULT hr = graph.EnumFilters(filters);
  if (FAILED(hr)) return hr;
  ComPtr<IBaseFilter> filter;
  while (filters->Next(filter) == S_OK) {
    if (!RoleIf<SourceFileRole>(*filter)) continue;
    if (source) return E_NOTIMPL;
    source = filter;
  }
  return source ? S_OK : VFW_E_NOT_CONNECTED;
}

// The one writer the routes lead to (a multiplexer or the Windows Media
// writer), or none when they all end in renderers.
HRESULT FindWriter(const std::vector<Route>& routes, ComPtr<IBaseFilter>& writer) {
  for (const Route& route : routes) {
    if (RoleIf<RendererRole>(*route.end)) continue;
    if (writer && !SameObject(writer, route.end)) return E_NOTIMPL;
    writer = route.end;
  }
  return S_OK;
}

HRESULT PlanMultiplexer(IBaseFilter& mux, const std::vector<Route>& routes, RunPlan& plan) {
  const ComPtr<IBaseFilter> writer = NextAfter(mux);
  const auto* file = writer ? RoleIf<FileWriterRole>(*writer) : nullptr;
  if (!file) return VFW_E_NOT_CONNECTED;
  plan.output = *file;
  plan.description.outputPath = file->path;
  plan.description.muxer = gst::ElementChoice::Use(RoleIf<MultiplexerRole>(mux)->element.get());
  const auto muxPointer = ComPtr<IBaseFilter>::Borrow(&mux);
  for (const Route& route : routes)
    if (SameObject(route.end, muxPointer)) plan.description.branches.push_back(BranchOf(route));
  return S_OK;
}

HRESULT PlanWindowsMediaWriter(IBaseFilter& writer, const std::vector<Route>& routes,
                               RunPlan& plan) {
  for (const ComPtr<IPin>& input : PinsOf(writer, PINDIR_INPUT))
    if (!PeerFilter(*input)) return VFW_E_NOT_CONNECTED;
  const auto& role = *RoleIf<AsfWriterRole>(writer);
  gst::AsfWriterPlan asf = gst::PlanAsfWriter(role.audio, role.video);
  const auto writerPointer = ComPtr<IBaseFilter>::Borrow(&writer);
  for (gst::BranchDescription& branch : asf.branches) {
    const Route* fed = nullptr;
    for (const Route& route : routes)
      if (SameObject(route.end, writerPointer) && ToRunKind(route.stream.kind) == branch.kind)
        fed = &route;
    if (!fed) return VFW_E_NOT_CONNECTED;
    branch.streamIndex = fed->stream.indexInKind;
    branch.streamId = fed->stream.streamId;
    FollowSourcePictures(fed->stream, branch);
    plan.description.branches.push_back(std::move(branch));
  }
  plan.output = static_cast<const FileSinkTarget&>(role);
  plan.description.outputPath = role.path;
  plan.description.muxer = gst::ElementChoice::Use(role.element.get());
  return S_OK;
}

}  // namespace

HRESULT PlanRun(IFilterGraph& graph, RunPlan& plan) {
  plan = {};
  ComPtr<IBaseFilter> source;
  HRESULT hr = FindSource(graph, source);
  if (FAILED(hr)) return hr;
  const auto& file = *RoleIf<SourceFileRole>(*source);
  plan.description.sourcePath = file.path;
  plan.sourceDuration = file.duration;

  std::vector<Route> routes;
  const std::vector<ComPtr<IPin>> pins = PinsOf(*source, PINDIR_OUTPUT);
  for (std::size_t i = 0; i < pins.size() && i < file.streams.size(); ++i)
    if (auto route = Follow(*pins[i], file.streams[i])) routes.push_back(std::move(*route));

  ComPtr<IBaseFilter> writer;
  hr = FindWriter(routes, writer);
  if (FAILED(hr)) return hr;
  if (writer && RoleIf<MultiplexerRole>(*writer)) {
    hr = PlanMultiplexer(*writer, routes, plan);
  } else if (writer && RoleIf<AsfWriterRole>(*writer)) {
    hr = PlanWindowsMediaWriter(*writer, routes, plan);
  } else if (writer) {
    hr = VFW_E_NOT_CONNECTED;  // a stream ends in a filter that writes nothing
  } else {
    for (const Route& route : routes) plan.description.branches.push_back(BranchOf(route));
  }
  if (FAILED(hr)) return hr;
  return plan.description.branches.empty() ? VFW_E_NOT_CONNECTED : S_OK;
}

gst::StreamKind ToRunKind(StreamKind kind) {
  return kind == StreamKind::Video ? gst::StreamKind::Video : gst::StreamKind::Audio;
}

}  // namespace dshow

// The graph's structure: its filters, their names and connections, and the
// playback rendering of a file. What the graph answers for its filters
// (control, events, seeking, video size) is in filter_graph_answers.cpp.

#include "platform/dshow/filter_graph.h"

#include <algorithm>
#include <cstdio>

#include "platform/dshow/errors.h"
#include "platform/dshow/playback_graph.h"

namespace dshow {

void DisconnectAllPins(IBaseFilter& filter) {
  ComPtr<IEnumPins> pins;
  if (FAILED(filter.EnumPins(pins))) return;
  ComPtr<IPin> pin;
  while (pins->Next(pin) == S_OK) {
    ComPtr<IPin> peer;
    if (SUCCEEDED(pin->ConnectedTo(peer))) peer->Disconnect();
    pin->Disconnect();
  }
}

FilterGraph::~FilterGraph() {
  // A graph released while running stops at once (nothing is waited for).
  run_.reset();
  // Connections hold references between filters; break them so that every
  // filter goes when its last outside reference does.
  for (Entry& entry : filters_) {
    DisconnectAllPins(*entry.filter);
    entry.filter->JoinFilterGraph(nullptr, {});
  }
}

std::vector<FilterGraph::Entry>::iterator FilterGraph::Find(IBaseFilter* filter) {
  return std::find_if(filters_.begin(), filters_.end(), [filter](const Entry& entry) {
    return SameObject(entry.filter, ComPtr<IBaseFilter>::Borrow(filter));
  });
}

bool FilterGraph::Contains(IPin* pin) {
  PIN_INFO info;
  if (!pin || FAILED(pin->QueryPinInfo(info)) || !info.pFilter) return false;
  return Find(info.pFilter.Get()) != filters_.end();
}

std::string FilterGraph::UniqueName(const std::string& wanted) const {
  const auto taken = [this](const std::string& name) {
    return std::any_of(filters_.begin(), filters_.end(),
                       [&name](const Entry& entry) { return entry.name == name; });
  };
  if (!taken(wanted)) return wanted;
  for (unsigned suffix = 1;; ++suffix) {
    char number[16];
    std::snprintf(number, sizeof number, " %04u", suffix);
    std::string candidate = wanted + number;
    if (!taken(candidate)) return candidate;
  }
}

HRESULT FilterGraph::AddFilter(IBaseFilter* filter, const std::string& name) {
  if (!filter) return E_POINTER;
  if (Find(filter) != filters_.end()) return E_INVALIDARG;
  FILTER_INFO info;
  // A filter belongs to one graph at a time.
  if (SUCCEEDED(filter->QueryFilterInfo(info)) && info.pGraph) return E_INVALIDARG;
  const std::string unique = UniqueName(name);
  const HRESULT joined = filter->JoinFilterGraph(this, unique);
  if (FAILED(joined)) return joined;
  filters_.push_back({ComPtr<IBaseFilter>::Borrow(filter), unique});
  return unique == name ? S_OK : VFW_S_DUPLICATE_NAME;
}

HRESULT FilterGraph::RemoveFilter(IBaseFilter* filter) {
  if (!filter) return E_POINTER;
  if (run_) return VFW_E_NOT_STOPPED;
  const auto found = Find(filter);
  if (found == filters_.end()) return VFW_E_NOT_FOUND;
  const ComPtr<IBaseFilter> keep = found->filter;
  filters_.erase(found);
  DisconnectAllPins(*keep);
  keep->JoinFilterGraph(nullptr, {});
  return S_OK;
}

HRESULT FilterGraph::EnumFilters(ComPtr<IEnumFilters>& filters) {
  std::vector<ComPtr<IBaseFilter>> snapshot;
  for (const Entry& entry : filters_) snapshot.push_back(entry.filter);
  filters = MakeCom<SnapshotEnumerator<IEnumFilters, IBaseFilter>>(std::move(snapshot));
  return S_OK;
}

HRESULT FilterGraph::FindFilterByName(const std::string& name, ComPtr<IBaseFilter>& filter) {
  filter.Reset();
  for (const Entry& entry : filters_) {
    if (entry.name == name) {
      filter = entry.filter;
      return S_OK;
    }
  }
  return VFW_E_NOT_FOUND;
}

HRESULT FilterGraph::ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) {
  if (!output || !input) return E_POINTER;
  if (run_) return VFW_E_NOT_STOPPED;
  if (!Contains(output) || !Contains(input)) return VFW_E_NOT_IN_GRAPH;
  return output->Connect(input, type);
}

HRESULT FilterGraph::Disconnect(IPin* pin) {
  if (!pin) return E_POINTER;
  if (run_) return VFW_E_NOT_STOPPED;
  return pin->Disconnect();
}

HRESULT FilterGraph::RenderFile(const std::string& path, const std::string& playList) {
  if (!playList.empty()) return E_INVALIDARG;
  return RenderPlayback(*this, path);
}

}  // namespace dshow

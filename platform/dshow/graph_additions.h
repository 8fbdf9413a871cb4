#pragma once
// Adds filters to a graph; unless committed, takes them out again when it
// goes, so that a failed rendering or building leaves the graph as it was.

#include <string>
#include <vector>

#include "platform/dshow/pin_walk.h"

namespace dshow {

class GraphAdditions {
 public:
  explicit GraphAdditions(IFilterGraph& graph) : graph_(graph) {}
  ~GraphAdditions() {
    for (auto& filter : added_) graph_.RemoveFilter(filter.Get());
  }
  GraphAdditions(const GraphAdditions&) = delete;
  GraphAdditions& operator=(const GraphAdditions&) = delete;

  HRESULT Add(const ComPtr<IBaseFilter>& filter, const std::string& name) {
    const HRESULT hr = graph_.AddFilter(filter.Get(), name);
    if (SUCCEEDED(hr)) added_.push_back(filter);
    return hr;
  }
  // Adds the filter and connects `output` to its input.
  HRESULT AddDownstream(IPin& output, const ComPtr<IBaseFilter>& filter, const std::string& name) {
    HRESULT hr = Add(filter, name);
    ComPtr<IPin> input;
    if (SUCCEEDED(hr)) hr = FirstPin(*filter, PINDIR_INPUT, input);
    return FAILED(hr) ? hr : graph_.ConnectDirect(&output, input.Get(), nullptr);
  }
  void Commit() { added_.clear(); }

 private:
  IFilterGraph& graph_;
  std::vector<ComPtr<IBaseFilter>> added_;
};

}  // namespace dshow

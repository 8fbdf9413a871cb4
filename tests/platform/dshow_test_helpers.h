#pragma once
// Small walks over a graph that several media tests share.

#include <string>
#include <vector>

#include "platform/com/runtime.h"
#include "platform/dshow/control_interfaces.h"
#include "platform/dshow/graph_interfaces.h"
#include "platform/dshow/guids.h"

namespace dshow_test {

inline ComPtr<IGraphBuilder> NewGraph() {
  ComPtr<IGraphBuilder> graph;
  CoCreate(CLSID_FilterGraph, graph);
  return graph;
}

inline std::vector<ComPtr<IBaseFilter>> Filters(IFilterGraph& graph) {
  std::vector<ComPtr<IBaseFilter>> filters;
  ComPtr<IEnumFilters> all;
  if (FAILED(graph.EnumFilters(all))) return filters;
  ComPtr<IBaseFilter> filter;
  while (all->Next(filter) == S_OK) filters.push_back(filter);
  return filters;
}

inline std::string NameOf(IBaseFilter& filter) {
  FILTER_INFO info;
  filter.QueryFilterInfo(info);
  return info.achName;
}

inline std::vector<std::string> Names(IFilterGraph& graph) {
  std::vector<std::string> names;
  for (auto& filter : Filters(graph)) names.push_back(NameOf(*filter));
  return names;
}

inline std::vector<ComPtr<IPin>> Pins(IBaseFilter& filter, PIN_DIRECTION direction) {
  std::vector<ComPtr<IPin>> found;
  ComPtr<IEnumPins> pins;
  if (FAILED(filter.EnumPins(pins))) return found;
  ComPtr<IPin> pin;
  while (pins->Next(pin) == S_OK) {
    PIN_DIRECTION d;
    if (SUCCEEDED(pin->QueryDirection(d)) && d == direction) found.push_back(pin);
  }
  return found;
}

// The renderers: one input pin, no output pin, as the system recognises them.
inline std::vector<ComPtr<IBaseFilter>> Renderers(IFilterGraph& graph) {
  std::vector<ComPtr<IBaseFilter>> found;
  for (auto& filter : Filters(graph))
    if (Pins(*filter, PINDIR_INPUT).size() == 1 && Pins(*filter, PINDIR_OUTPUT).empty())
      found.push_back(filter);
  return found;
}

inline GUID ConnectionMajorType(IPin& pin) {
  OwnedMediaType type;
  if (FAILED(pin.ConnectionMediaType(type.Get()))) return GUID_NULL;
  return type->majortype;
}

// The renderer whose input carries the major type, or none.
inline ComPtr<IBaseFilter> RendererOf(IFilterGraph& graph, const GUID& major) {
  for (auto& renderer : Renderers(graph))
    if (ConnectionMajorType(*Pins(*renderer, PINDIR_INPUT)[0]) == major) return renderer;
  return {};
}

}  // namespace dshow_test

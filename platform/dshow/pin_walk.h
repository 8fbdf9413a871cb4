#pragma once
// Small walks over filters and pins that the graph's builders and its run
// share.

#include <vector>

#include "platform/dshow/filter_role.h"
#include "platform/dshow/graph_interfaces.h"

namespace dshow {

// The first pin of the direction, in pin order; VFW_E_NOT_FOUND when none.
HRESULT FirstPin(IBaseFilter& filter, PIN_DIRECTION direction, ComPtr<IPin>& found);

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter& filter, PIN_DIRECTION direction);

// The filter a pin belongs to.
ComPtr<IBaseFilter> FilterOf(IPin& pin);

// The filter on the other side of a connected pin; none when unconnected.
ComPtr<IBaseFilter> PeerFilter(IPin& pin);

// An unconnected input pin that takes streams of the major type; none when
// the filter has no such pin.
ComPtr<IPin> FreeInputPin(IBaseFilter& filter, const GUID& majorType);

// True when the filter is in that graph.
bool IsInGraph(IBaseFilter& filter, IFilterGraph& graph);

}  // namespace dshow

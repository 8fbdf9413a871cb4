#include "engine/graph_utilities.h"

#include <cstdio>

#include "engine/engine_messages.h"

namespace {

// Calls `visit` for every pin of the filter in enumeration order until it
// returns false.
template <typename Visit>
HRESULT ForEachPin(IBaseFilter* filter, Visit visit) {
  ComPtr<IEnumPins> pins;
  HRESULT hr = filter->EnumPins(pins);
  if (FAILED(hr)) return hr;
  pins->Reset();
  ComPtr<IPin> pin;
  while (pins->Next(pin) == S_OK) {
    if (!visit(pin)) break;
  }
  return S_OK;
}

}  // namespace

HRESULT CountPins(IBaseFilter* filter, int* inputs, int* outputs) {
  if (!filter || !inputs || !outputs) return E_POINTER;
  *inputs = 0;
  *outputs = 0;
  return ForEachPin(filter, [&](ComPtr<IPin>& pin) {
    PIN_DIRECTION direction = PINDIR_INPUT;
    if (SUCCEEDED(pin->QueryDirection(direction)))
      ++(direction == PINDIR_INPUT ? *inputs : *outputs);
    return true;
  });
}

HRESULT GetPin(IBaseFilter* filter, PIN_DIRECTION direction, int n, ComPtr<IPin>& result) {
  result.Reset();
  if (!filter) return E_POINTER;
  int seen = 0;
  const HRESULT hr = ForEachPin(filter, [&](ComPtr<IPin>& pin) {
    PIN_DIRECTION d = PINDIR_INPUT;
    if (SUCCEEDED(pin->QueryDirection(d)) && d == direction && seen++ == n) {
      result = pin;
      return false;
    }
    return true;
  });
  if (FAILED(hr)) return hr;
  return result ? S_OK : E_FAIL;
}

HRESULT FindRenderer(IFilterGraph* graph, const GUID* majorType, ComPtr<IBaseFilter>& renderer) {
  renderer.Reset();
  if (!graph) return E_NOINTERFACE;
  if (!majorType) return E_POINTER;
  ComPtr<IEnumFilters> filters;
  HRESULT hr = graph->EnumFilters(filters);
  if (FAILED(hr)) return hr;
  filters->Reset();
  ComPtr<IBaseFilter> filter;
  while (filters->Next(filter) == S_OK) {
    int inputs = 0, outputs = 0;
    hr = CountPins(filter.Get(), &inputs, &outputs);
    if (FAILED(hr)) return hr;
    if (inputs != 1 || outputs != 0) continue;
    ComPtr<IPin> pin;
    hr = GetPin(filter.Get(), PINDIR_INPUT, 0, pin);
    if (FAILED(hr)) return hr;
    OwnedMediaType type;
    hr = pin->ConnectionMediaType(type.Get());
    if (FAILED(hr)) return hr;
    if (type->majortype == *majorType) {
      renderer = filter;
      return S_OK;
    }
  }
  return S_OK;
}

void ReportError(const char* failure, HRESULT code) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%s  hr=0x%x\n", failure, static_cast<unsigned>(code));
  OwnerlessMessage(buffer);
}

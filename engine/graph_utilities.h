#pragma once
// Small walks over a filter graph: counting and picking pins, finding the
// default renderer of a media type, and a formatted failure message.

#include "platform/dshow/graph_interfaces.h"

HRESULT CountPins(IBaseFilter* filter, int* inputs, int* outputs);

// The n-th pin (0-based) of that direction, in enumeration order.
HRESULT GetPin(IBaseFilter* filter, PIN_DIRECTION direction, int n, ComPtr<IPin>& pin);

// The filter with exactly one input pin and no output pin whose input is
// connected with the major type. Success without a filter when there is
// none; a renderer whose pin is not connected ends the search with its code.
HRESULT FindRenderer(IFilterGraph* graph, const GUID* majorType, ComPtr<IBaseFilter>& renderer);

// "<failure>  hr=0x<code>" and a line break, shown in an ownerless box
// captioned "Message".
void ReportError(const char* failure, HRESULT code);

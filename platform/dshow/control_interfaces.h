#pragma once
// What a graph offers besides its structure: running, events, seeking and
// the video size.

#include <cstdint>

#include "platform/com/com_ptr.h"
#include "platform/dshow/media_type.h"
#include "platform/ui/message_port.h"

using LONG_PTR = std::intptr_t;
using OAFilterState = long;

enum FILTER_STATE { State_Stopped = 0, State_Paused = 1, State_Running = 2 };

// Event codes.
constexpr long EC_COMPLETE = 0x01;
constexpr long EC_USERABORT = 0x02;
constexpr long EC_ERRORABORT = 0x03;

struct IMediaControl : IUnknown {
  static constexpr IID kIid = GUID::Parse("{56A868B1-0AD4-11CE-B03A-0020AF0BA770}");
  virtual HRESULT Run() = 0;
  virtual HRESULT Pause() = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT GetState(long msTimeout, OAFilterState& state) = 0;
};

// This framework's own addition to the control interface: asks the running
// graph to end its streams as the source's end would, and returns at once.
// What the streams already hold is written; the end is then reported as
// EC_COMPLETE, and Stop afterwards returns at once. So a window can stop a
// run without waiting for the writer. S_FALSE when the graph is not running.
struct IMediaStreamEnd : IUnknown {
  static constexpr IID kIid = GUID::Parse("{7D3B1F52-6C0E-4B8A-9E21-5A40C3D7E918}");
  virtual HRESULT EndStreams() = 0;
};

struct IMediaEvent : IUnknown {
  static constexpr IID kIid = GUID::Parse("{56A868B6-0AD4-11CE-B03A-0020AF0BA770}");
  // Takes the oldest queued event; waits up to msTimeout (a negative time-out
  // waits without limit) and fails with E_ABORT when none arrived.
  virtual HRESULT GetEvent(long& eventCode, LONG_PTR& param1, LONG_PTR& param2, long msTimeout) = 0;
  virtual HRESULT FreeEventParams(long eventCode, LONG_PTR param1, LONG_PTR param2) = 0;
};

struct IMediaEventEx : IMediaEvent {
  using Base = IMediaEvent;
  static constexpr IID kIid = GUID::Parse("{56A868C0-0AD4-11CE-B03A-0020AF0BA770}");
  // From now on every queued event posts `message` (wParam 0, lParam
  // `instanceData`) to the window; a null window stops the posting.
  virtual HRESULT SetNotifyWindow(ui::WindowPort window, UINT message, LONG_PTR instanceData) = 0;
};

struct IMediaSeeking : IUnknown {
  static constexpr IID kIid = GUID::Parse("{36B73880-C2C8-11CF-8B46-00805F6CEF60}");
  // Media times in 100 ns units.
  virtual HRESULT GetDuration(REFERENCE_TIME& duration) = 0;
  virtual HRESULT GetStopPosition(REFERENCE_TIME& stop) = 0;
  virtual HRESULT GetCurrentPosition(REFERENCE_TIME& current) = 0;
};

struct IBasicVideo : IUnknown {
  static constexpr IID kIid = GUID::Parse("{56A868B5-0AD4-11CE-B03A-0020AF0BA770}");
  // Answered by the graph's video renderer: E_NOINTERFACE without one.
  virtual HRESULT GetVideoSize(long& width, long& height) = 0;
  // Seconds per frame: the declared rate's, or for a variable-rate stream
  // that declares none the average of its frame times; 0 when not known.
  virtual HRESULT get_AvgTimePerFrame(REFTIME& averageTime) = 0;
};

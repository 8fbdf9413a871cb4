#pragma once
// Building a conversion graph: the capture graph builder that adds a
// multiplexer and file writer for an output type and connects streams to
// them, and the writer settings the system adjusts.

#include <string>

#include "platform/com/com_ptr.h"
#include "platform/dshow/graph_interfaces.h"

struct IWMProfile;

struct IFileSinkFilter : IUnknown {
  static constexpr IID kIid = GUID::Parse("{A2104830-7C70-11CF-8BCE-00AA00A3F1A6}");
  virtual HRESULT SetFileName(const std::string& path, const AM_MEDIA_TYPE* type) = 0;
  virtual HRESULT GetCurFile(std::string& path) = 0;
};

enum AM_FILESINK_FLAGS { AM_FILE_OVERWRITE = 0x1 };

struct IFileSinkFilter2 : IFileSinkFilter {
  using Base = IFileSinkFilter;
  static constexpr IID kIid = GUID::Parse("{00855B90-CE1B-11D0-BD4F-00A0C911CE86}");
  virtual HRESULT SetMode(unsigned long flags) = 0;
  virtual HRESULT GetMode(unsigned long& flags) = 0;
};

enum InterleavingMode {
  INTERLEAVE_NONE = 0,
  INTERLEAVE_CAPTURE = 1,
  INTERLEAVE_FULL = 2,
  INTERLEAVE_NONE_BUFFERED = 3,
};

struct IConfigInterleaving : IUnknown {
  static constexpr IID kIid = GUID::Parse("{BEE3D220-157B-11D0-BD23-00A0C911CE86}");
  virtual HRESULT put_Mode(InterleavingMode mode) = 0;
  virtual HRESULT get_Mode(InterleavingMode& mode) = 0;
};

struct IConfigAsfWriter : IUnknown {
  static constexpr IID kIid = GUID::Parse("{45086030-F7E4-486A-B504-826BB5792A3B}");
  // Takes its input pins (one per stream) from the profile.
  virtual HRESULT ConfigureFilterUsingProfile(IWMProfile* profile) = 0;
};

struct ICaptureGraphBuilder2 : IUnknown {
  static constexpr IID kIid = GUID::Parse("{93E5A4E0-2D50-11D2-ABFA-00A0C9C6E38D}");
  virtual HRESULT SetFiltergraph(IGraphBuilder* graph) = 0;
  // Adds the multiplexer (and, where separate, the file writer) for an output
  // type and names the file. For the Windows Media writer `mux` and `sink`
  // are the same filter.
  virtual HRESULT SetOutputFileName(const GUID& type, const std::string& path,
                                    ComPtr<IBaseFilter>& mux, ComPtr<IFileSinkFilter>& sink) = 0;
  // Connects `source` (an output pin) through `intermediate` (may be null)
  // to `sink`; with a null sink the stream goes to a default renderer.
  virtual HRESULT RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                               IBaseFilter* intermediate, IBaseFilter* sink) = 0;
};

#pragma once
// The filters the capture graph builder adds to write a file: a multiplexer
// around a container element, the file writer, and the file settings that
// the file writer and the Windows Media writer share.

#include <string>
#include <variant>

#include "platform/dshow/capture_interfaces.h"
#include "platform/dshow/model_filter_with.h"

namespace dshow {

// A writer's file name and mode, kept in its role (a FileSinkTarget).
template <typename Role, typename... Extra>
class FileSinkFilter : public ModelFilterWith<IFileSinkFilter2, Extra...> {
 public:
  explicit FileSinkFilter(Role role)
      : ModelFilterWith<IFileSinkFilter2, Extra...>(std::move(role)) {}

  HRESULT SetFileName(const std::string& path, const AM_MEDIA_TYPE*) override {
    if (path.empty() || path.find('\0') != std::string::npos) return E_INVALIDARG;
    Target().path = path;
    return S_OK;
  }
  HRESULT GetCurFile(std::string& path) override {
    path = Target().path;
    return S_OK;
  }
  HRESULT SetMode(unsigned long flags) override {
    if (flags & ~static_cast<unsigned long>(AM_FILE_OVERWRITE)) return E_INVALIDARG;
    Target().mode = flags;
    return S_OK;
  }
  HRESULT GetMode(unsigned long& flags) override {
    flags = Target().mode;
    return S_OK;
  }

 protected:
  Role& Target() { return std::get<Role>(this->MutableRole()); }
};

// Writes the multiplexed stream to a file: one input pin "In".
class FileWriterFilter : public FileSinkFilter<FileWriterRole> {
 public:
  explicit FileWriterFilter(const std::string& path);
};

// A container element's filter: output pin "Output" (for the file writer)
// and an input pin per stream, added as streams are connected. The
// interleaving mode is kept as a wish: the element interleaves by time in
// any mode.
class MultiplexerFilter : public ModelFilterWith<IConfigInterleaving> {
 public:
  explicit MultiplexerFilter(MultiplexerRole role);

  HRESULT put_Mode(InterleavingMode mode) override;
  HRESULT get_Mode(InterleavingMode& mode) override;

  // An unconnected input pin, added when every input is taken.
  ComPtr<IPin> FreeInput();

 private:
  InterleavingMode mode_ = INTERLEAVE_CAPTURE;
  int inputs_ = 0;
};

// A multiplexer around a new element of the factory; REGDB_E_CLASSNOTREG
// when the factory is not installed.
HRESULT MakeMultiplexer(const std::string& factoryName, ComPtr<MultiplexerFilter>& filter);

}  // namespace dshow

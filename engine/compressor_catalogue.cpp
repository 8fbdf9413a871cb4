#include "engine/compressor_catalogue.h"

#include <functional>

#include "engine/engine_messages.h"
#include "platform/com/runtime.h"
#include "platform/dshow/device_interfaces.h"
#include "platform/dshow/guids.h"
#include "platform/text/ascii_case.h"

namespace {

using Visit = std::function<bool(int index, const std::string& name, IMoniker& moniker)>;

// Calls `visit` for each entry in catalogue order until it returns false.
// An entry is a moniker whose "FriendlyName" can be read; others do not
// count.
void WalkCatalogue(CompressorKind kind, const Visit& visit) {
  ComPtr<ICreateDevEnum> devices;
  if (FAILED(CoCreate(CLSID_SystemDeviceEnum, devices))) {
    ApplicationMessage("Failed to create system enumerator");
    return;
  }
  const CLSID& category =
      kind == CompressorKind::Video ? CLSID_VideoCompressorCategory : CLSID_AudioCompressorCategory;
  ComPtr<IEnumMoniker> monikers;
  if (FAILED(devices->CreateClassEnumerator(category, monikers, 0))) {
    ApplicationMessage("Failed to create class enumerator");
    return;
  }
  if (!monikers) return;  // an empty category
  monikers->Reset();
  int index = 0;
  ComPtr<IMoniker> moniker;
  while (monikers->Next(moniker) == S_OK) {
    ComPtr<IPropertyBag> bag;
    std::string name;
    if (FAILED(moniker->BindToStorage(bag)) || FAILED(bag->Read("FriendlyName", name))) continue;
    if (!visit(index++, name, *moniker)) return;
  }
}

std::optional<int> FindByFragment(CompressorKind kind, const std::string& fragment) {
  std::optional<int> found;
  WalkCatalogue(kind, [&](int index, const std::string& name, IMoniker&) {
    if (text::AsciiLower(name).find(fragment) == std::string::npos) return true;
    found = index;
    return false;
  });
  return found;
}

void Bind(CompressorKind kind, int index, ComPtr<IBaseFilter>* filterOut,
          const char* invalidPointerMessage) {
  if (!filterOut) {
    ApplicationMessage(invalidPointerMessage);
    return;
  }
  filterOut->Reset();
  if (index < 0) return;
  WalkCatalogue(kind, [&](int entry, const std::string&, IMoniker& moniker) {
    if (entry < index) return true;
    if (FAILED(moniker.BindToObject(*filterOut))) {
      filterOut->Reset();
      ApplicationMessage("Failed to bind to object");
    }
    return false;
  });
}

}  // namespace

std::vector<std::string> ListCompressors(CompressorKind kind) {
  std::vector<std::string> names;
  WalkCatalogue(kind, [&](int, const std::string& name, IMoniker&) {
    names.push_back(name);
    return true;
  });
  return names;
}

std::optional<int> FindDefaultVideoCompressor() {
  return FindByFragment(CompressorKind::Video, "ffdshow video encoder");
}

std::optional<int> FindDefaultAudioCompressor() {
  return FindByFragment(CompressorKind::Audio, "microsoft adpcm");
}

void GetCompressor(int index, ComPtr<IBaseFilter>* filterOut) {
  Bind(CompressorKind::Video, index, filterOut, "GetCompressor received invalid pointer");
}

void GetAudioCompressor(int index, ComPtr<IBaseFilter>* filterOut) {
  Bind(CompressorKind::Audio, index, filterOut, "GetAudioCompressor received invalid pointer");
}

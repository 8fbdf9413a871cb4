#pragma once
// Stand-ins for the media framework's creatable classes, for the failures
// that real media cannot provoke. An override lasts for the life of the
// object; afterwards the real classes are registered again.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/runtime.h"
#include "platform/dshow/control_interfaces.h"
#include "platform/dshow/device_interfaces.h"
#include "platform/dshow/guids.h"
#include "platform/dshow/initialise.h"
#include "platform/dshow/model_filters.h"

namespace engine_test {

class ClassOverride {
 public:
  ClassOverride(const CLSID& clsid, ClassFactory factory) {
    CoRegisterClass(clsid, std::move(factory));
  }
  // Makes the class not creatable at all.
  explicit ClassOverride(const CLSID& clsid) { CoUnregisterClass(clsid); }
  ~ClassOverride() { dshow::Initialise(); }
  ClassOverride(const ClassOverride&) = delete;
  ClassOverride& operator=(const ClassOverride&) = delete;
};

// One entry of a fake compressor category.
struct FakeEntry {
  std::string friendlyName;
  bool storageFails = false;  // BindToStorage fails
  bool nameMissing = false;   // the bag has no "FriendlyName"
  bool bindFails = false;     // BindToObject fails
};

struct FakeCatalogue {
  std::vector<FakeEntry> video;
  std::vector<FakeEntry> audio;
  HRESULT enumeratorResult = S_OK;  // a failure replaces every enumeration
  int enumerations = 0;
};

class FakeMoniker : public com::Object<IMoniker> {
 public:
  explicit FakeMoniker(FakeEntry entry) : entry_(std::move(entry)) {}
  HRESULT BindToObject(const IID& iid, void** object) override {
    *object = nullptr;
    if (entry_.bindFails) return E_FAIL;
    ComPtr<IBaseFilter> filter = dshow::MakeDecoderFilter({});
    return filter->QueryInterface(iid, object);
  }
  HRESULT BindToStorage(const IID& iid, void** object) override {
    *object = nullptr;
    if (entry_.storageFails) return E_FAIL;
    return MakeCom<Bag>(entry_)->QueryInterface(iid, object);
  }

 private:
  class Bag : public com::Object<IPropertyBag> {
   public:
    explicit Bag(FakeEntry entry) : entry_(std::move(entry)) {}
    HRESULT Read(const std::string& name, std::string& value) override {
      if (name != "FriendlyName" || entry_.nameMissing) return E_INVALIDARG;
      value = entry_.friendlyName;
      return S_OK;
    }
    FakeEntry entry_;
  };
  FakeEntry entry_;
};

class FakeDeviceEnum : public com::Object<ICreateDevEnum> {
 public:
  explicit FakeDeviceEnum(std::shared_ptr<FakeCatalogue> catalogue)
      : catalogue_(std::move(catalogue)) {}
  HRESULT CreateClassEnumerator(const CLSID& category, ComPtr<IEnumMoniker>& monikers,
                                std::uint32_t) override {
    ++catalogue_->enumerations;
    monikers.Reset();
    if (FAILED(catalogue_->enumeratorResult)) return catalogue_->enumeratorResult;
    const auto& entries =
        category == CLSID_VideoCompressorCategory ? catalogue_->video : catalogue_->audio;
    if (entries.empty()) return S_FALSE;
    std::vector<ComPtr<IMoniker>> list;
    for (const auto& entry : entries) list.push_back(MakeCom<FakeMoniker>(entry));
    monikers = MakeCom<dshow::SnapshotEnumerator<IEnumMoniker, IMoniker>>(std::move(list));
    return S_OK;
  }

 private:
  std::shared_ptr<FakeCatalogue> catalogue_;
};

// Installs a fake catalogue as the system device enumerator.
class FakeDevices {
 public:
  FakeDevices()
      : catalogue_(std::make_shared<FakeCatalogue>()),
        override_(CLSID_SystemDeviceEnum, [catalogue = catalogue_](const IID& iid, void** object) {
          return MakeCom<FakeDeviceEnum>(catalogue)->QueryInterface(iid, object);
        }) {}
  FakeCatalogue* operator->() { return catalogue_.get(); }

 private:
  std::shared_ptr<FakeCatalogue> catalogue_;
  ClassOverride override_;
};

// A graph that plays any file and answers as configured.
struct FakeGraphSetup {
  bool offersSeeking = true;
  bool offersBasicVideo = true;
  bool offersControl = true;
  HRESULT renderResult = S_OK;
  HRESULT stopPositionResult = S_OK;
  REFERENCE_TIME duration = 30 * kUnitsPerSecond;
  HRESULT videoSizeResult = S_OK;
  long width = 640;
  long height = 480;
  HRESULT frameTimeResult = S_OK;
  REFTIME frameTime = 0.04;
};

class FakeGraph : public com::Object<IGraphBuilder, IMediaSeeking, IBasicVideo, IMediaControl> {
 public:
  explicit FakeGraph(FakeGraphSetup setup) : setup_(setup) {}

  HRESULT QueryInterface(const IID& iid, void** object) override {
    const bool refused = (iid == IMediaSeeking::kIid && !setup_.offersSeeking) ||
                         (iid == IBasicVideo::kIid && !setup_.offersBasicVideo) ||
                         (iid == IMediaControl::kIid && !setup_.offersControl);
    if (refused) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    return Object::QueryInterface(iid, object);
  }

  HRESULT AddFilter(IBaseFilter*, const std::string&) override { return E_NOTIMPL; }
  HRESULT RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
  HRESULT EnumFilters(ComPtr<IEnumFilters>&) override { return E_NOTIMPL; }
  HRESULT FindFilterByName(const std::string&, ComPtr<IBaseFilter>&) override { return E_NOTIMPL; }
  HRESULT ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  HRESULT Disconnect(IPin*) override { return E_NOTIMPL; }
  HRESULT RenderFile(const std::string&, const std::string&) override {
    return setup_.renderResult;
  }

  HRESULT GetDuration(REFERENCE_TIME& d) override { return GetStopPosition(d); }
  HRESULT GetStopPosition(REFERENCE_TIME& stop) override {
    stop = setup_.duration;
    return setup_.stopPositionResult;
  }
  HRESULT GetCurrentPosition(REFERENCE_TIME& current) override {
    current = 0;
    return S_OK;
  }
  HRESULT GetVideoSize(long& width, long& height) override {
    width = setup_.width;
    height = setup_.height;
    return setup_.videoSizeResult;
  }
  HRESULT get_AvgTimePerFrame(REFTIME& time) override {
    time = setup_.frameTime;
    return setup_.frameTimeResult;
  }
  HRESULT Run() override { return E_NOTIMPL; }
  HRESULT Pause() override { return E_NOTIMPL; }
  HRESULT Stop() override { return S_OK; }
  HRESULT GetState(long, OAFilterState& state) override {
    state = State_Stopped;
    return S_OK;
  }

 private:
  FakeGraphSetup setup_;
};

// Installs the fake graph as the filter graph class.
class FakeGraphs {
 public:
  explicit FakeGraphs(FakeGraphSetup setup)
      : override_(CLSID_FilterGraph, [setup](const IID& iid, void** object) {
          return MakeCom<FakeGraph>(setup)->QueryInterface(iid, object);
        }) {}

 private:
  ClassOverride override_;
};

}  // namespace engine_test

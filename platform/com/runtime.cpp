#include "platform/com/runtime.h"

#include <cstdlib>
#include <map>
#include <mutex>

namespace {

struct GuidLess {
  bool operator()(const GUID& a, const GUID& b) const {
    if (a.Data1 != b.Data1) return a.Data1 < b.Data1;
    if (a.Data2 != b.Data2) return a.Data2 < b.Data2;
    if (a.Data3 != b.Data3) return a.Data3 < b.Data3;
    return a.Data4 < b.Data4;
  }
};

std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<CLSID, ClassFactory, GuidLess>& Registry() {
  static std::map<CLSID, ClassFactory, GuidLess> registry;
  return registry;
}

thread_local int initialisations = 0;

}  // namespace

HRESULT CoInitialize(void*) {
  // A second initialisation on the same thread succeeds with S_FALSE.
  return initialisations++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
  if (initialisations > 0) --initialisations;
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, unsigned, const IID& iid,
                         void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return E_NOINTERFACE;  // aggregation is not supported
  ClassFactory factory;
  {
    std::lock_guard lock(RegistryMutex());
    auto it = Registry().find(clsid);
    if (it == Registry().end()) return REGDB_E_CLASSNOTREG;
    factory = it->second;
  }
  return factory(iid, object);
}

void CoRegisterClass(const CLSID& clsid, ClassFactory factory) {
  std::lock_guard lock(RegistryMutex());
  Registry()[clsid] = std::move(factory);
}

void CoUnregisterClass(const CLSID& clsid) {
  std::lock_guard lock(RegistryMutex());
  Registry().erase(clsid);
}

void* CoTaskMemAlloc(std::size_t bytes) { return std::malloc(bytes == 0 ? 1 : bytes); }

void CoTaskMemFree(void* block) { std::free(block); }

#pragma once
// The component runtime: per-thread initialisation, object creation by
// class identifier, and the task allocator.

#include <cstddef>
#include <functional>

#include "platform/com/com_ptr.h"

// Creates a new object of a class and answers the asked interface.
using ClassFactory = std::function<HRESULT(const IID& iid, void** object)>;

HRESULT CoInitialize(void* reserved);
void CoUninitialize();
HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, unsigned context, const IID& iid,
                         void** object);

constexpr unsigned CLSCTX_INPROC_SERVER = 0x1;

// Makes a class creatable; a later registration of the same class replaces
// the earlier one (tests use that to stand in failing classes).
void CoRegisterClass(const CLSID& clsid, ClassFactory factory);
void CoUnregisterClass(const CLSID& clsid);

void* CoTaskMemAlloc(std::size_t bytes);
void CoTaskMemFree(void* block);

// Convenience: create an object straight into a ComPtr.
template <typename T>
HRESULT CoCreate(const CLSID& clsid, ComPtr<T>& out) {
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, T::kIid,
                          reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
}

// Factory for a class implemented by T (default-constructible com::Object).
template <typename T>
ClassFactory FactoryOf() {
  return [](const IID& iid, void** object) -> HRESULT {
    auto created = MakeCom<T>();
    return created->QueryInterface(iid, object);
  };
}

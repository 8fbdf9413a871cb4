#pragma once
// The system device enumerator: categories of installed devices (here the
// compressors), their monikers, and the property bag with a device's name.

#include <string>

#include "platform/com/com_ptr.h"
#include "platform/dshow/enumerator.h"

struct IMoniker : IUnknown {
  static constexpr IID kIid = GUID::Parse("{0000000F-0000-0000-C000-000000000046}");
  // Creates a new object for the device (for a compressor: IBaseFilter).
  virtual HRESULT BindToObject(const IID& iid, void** object) = 0;
  // Opens the device's description (IPropertyBag).
  virtual HRESULT BindToStorage(const IID& iid, void** object) = 0;

  template <typename T>
  HRESULT BindToObject(ComPtr<T>& out) {
    return BindToObject(T::kIid, reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
  }
  template <typename T>
  HRESULT BindToStorage(ComPtr<T>& out) {
    return BindToStorage(T::kIid, reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
  }
};

struct IEnumMoniker : IEnumOf<IMoniker, IEnumMoniker> {
  static constexpr IID kIid = GUID::Parse("{00000102-0000-0000-C000-000000000046}");
};

struct IPropertyBag : IUnknown {
  static constexpr IID kIid = GUID::Parse("{55272A00-42CB-11CE-8135-00AA004BB851}");
  // Reads a text property ("FriendlyName"); E_INVALIDARG for a name the bag
  // does not hold.
  virtual HRESULT Read(const std::string& name, std::string& value) = 0;
};

struct ICreateDevEnum : IUnknown {
  static constexpr IID kIid = GUID::Parse("{29840822-5B84-11D0-BD3B-00A0C911CE86}");
  // S_OK with an enumerator, or S_FALSE and none when the category is empty
  // or unknown.
  virtual HRESULT CreateClassEnumerator(const CLSID& category, ComPtr<IEnumMoniker>& monikers,
                                        std::uint32_t flags) = 0;
};

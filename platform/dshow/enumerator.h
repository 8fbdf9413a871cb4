#pragma once
// The enumerator shape shared by pins, filters and monikers, and the one
// implementation that serves them all: it walks a snapshot taken when it was
// made, so changes to the collection never invalidate it.

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/com/com_ptr.h"

using ULONG = std::uint32_t;

template <typename T, typename Self>
struct IEnumOf : IUnknown {
  // Fills up to `count` slots; S_OK when all were filled, else S_FALSE.
  // `fetched` may be null when count is 1.
  virtual HRESULT Next(ULONG count, ComPtr<T>* items, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(ComPtr<Self>& copy) = 0;

  // One item at a time, the usual way to walk.
  HRESULT Next(ComPtr<T>& item) { return Next(1, &item, nullptr); }
};

namespace dshow {

template <typename Interface, typename T>
class SnapshotEnumerator : public com::Object<Interface> {
 public:
  explicit SnapshotEnumerator(std::vector<ComPtr<T>> items, std::size_t position = 0)
      : items_(std::move(items)), position_(position) {}

  HRESULT Next(ULONG count, ComPtr<T>* out, ULONG* fetched) override {
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG filled = 0;
    for (; filled < count && position_ < items_.size(); ++filled) out[filled] = items_[position_++];
    for (ULONG rest = filled; rest < count; ++rest) out[rest].Reset();
    if (fetched) *fetched = filled;
    return filled == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG count) override {
    const std::size_t left = items_.size() - position_;
    position_ += std::min<std::size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT Clone(ComPtr<Interface>& copy) override {
    copy = MakeCom<SnapshotEnumerator>(items_, position_);
    return S_OK;
  }

 private:
  std::vector<ComPtr<T>> items_;
  std::size_t position_;
};

}  // namespace dshow

#pragma once
// Reference-counted interfaces with QueryInterface, and a base that
// implements both for any set of interfaces.
//
// An interface is a struct deriving from IUnknown (directly or through
// another interface named by `using Base = ...`) with a `static constexpr IID
// kIid`.

#include <atomic>
#include <type_traits>
#include <utility>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"

struct IUnknown {
  static constexpr IID kIid = GUID::Parse("{00000000-0000-0000-C000-000000000046}");
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

namespace com {

// True when `iid` names interface I or one of the interfaces it extends.
template <typename I>
constexpr bool InterfaceMatches(const IID& iid) {
  if (iid == I::kIid) return true;
  if constexpr (requires { typename I::Base; }) return InterfaceMatches<typename I::Base>(iid);
  else return iid == IUnknown::kIid;
}

// Implements IUnknown for an object that offers the listed interfaces.
// Objects are created with a count of 1 by MakeCom and delete themselves when
// the last reference is released. Derived classes may answer further
// interfaces by overriding QueryExtra.
template <typename... Interfaces>
class Object : public Interfaces... {
 public:
  Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    const bool found = (TryInterface<Interfaces>(iid, object) || ...);
    if (!found) *object = QueryExtra(iid);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~Object() = default;
  // Returns a pointer to an extra interface, without adding a reference.
  virtual void* QueryExtra(const IID&) { return nullptr; }

 private:
  template <typename I>
  bool TryInterface(const IID& iid, void** object) {
    if (!InterfaceMatches<I>(iid)) return false;
    *object = static_cast<I*>(this);
    return true;
  }

  std::atomic<ULONG> refs_{1};
};

}  // namespace com

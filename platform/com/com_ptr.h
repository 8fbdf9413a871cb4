#pragma once
// Owning reference to an interface: one reference per non-empty pointer.
// Reset releases the reference and leaves the pointer empty.

#include <cstddef>
#include <type_traits>
#include <utility>

#include "platform/com/unknown.h"

template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  ComPtr(const ComPtr& other) noexcept : p_(other.p_) { AddRefIfAny(); }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  ComPtr(const ComPtr<U>& other) noexcept : p_(other.Get()) {
    AddRefIfAny();
  }
  ~ComPtr() { Reset(); }

  // Copy and swap: assigning a pointer to itself keeps its reference.
  ComPtr& operator=(const ComPtr& other) noexcept {  // NOLINT(bugprone-unhandled-self-assignment)
    ComPtr copy(other);
    Swap(copy);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr moved(std::move(other));
    Swap(moved);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) noexcept {
    Reset();
    return *this;
  }

  // Takes over a reference the caller already holds.
  static ComPtr Attach(T* raw) noexcept {
    ComPtr result;
    result.p_ = raw;
    return result;
  }
  // Adds a reference of its own to a borrowed pointer.
  static ComPtr Borrow(T* raw) noexcept {
    ComPtr result;
    result.p_ = raw;
    result.AddRefIfAny();
    return result;
  }

  T* Get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  T& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  void Reset() noexcept {
    if (T* old = std::exchange(p_, nullptr)) old->Release();
  }
  // Hands the reference to the caller.
  [[nodiscard]] T* Detach() noexcept { return std::exchange(p_, nullptr); }
  // Releases what is held and gives the slot to a function that fills it.
  T** ReleaseAndGetAddressOf() noexcept {
    Reset();
    return &p_;
  }
  void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

  // QueryInterface into another smart pointer.
  template <typename U>
  HRESULT As(ComPtr<U>& out) const {
    out.Reset();
    if (!p_) return E_POINTER;
    return p_->QueryInterface(U::kIid, reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
  }
  template <typename U>
  bool Supports() const {
    ComPtr<U> probe;
    return SUCCEEDED(As(probe));
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept { return a.p_ == b.p_; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

 private:
  void AddRefIfAny() noexcept {
    if (p_) p_->AddRef();
  }
  T* p_ = nullptr;
};

// Creates an object with one reference owned by the returned pointer.
template <typename T, typename... Args>
ComPtr<T> MakeCom(Args&&... args) {
  return ComPtr<T>::Attach(new T(std::forward<Args>(args)...));
}

// True when both pointers lead to the same object (compared by IUnknown).
template <typename A, typename B>
bool SameObject(const ComPtr<A>& a, const ComPtr<B>& b) {
  if (!a || !b) return !a && !b;
  ComPtr<IUnknown> ua, ub;
  a.As(ua);
  b.As(ub);
  return ua.Get() == ub.Get();
}

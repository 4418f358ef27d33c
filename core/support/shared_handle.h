// SharedHandle: the engine's reference-counted owner. Its control block (count, object) is a
// pool block; the last owner to let go frees the block and hands the object to the deleter
// (delete by default; a ResourceHandle's deleter calls the host's destroy function).
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

#include "support/support.h"

template <class T, class Deleter = std::default_delete<T>>
class SharedHandle {
 public:
  SharedHandle() noexcept = default;
  SharedHandle(std::nullptr_t) noexcept {}

  // Takes ownership of `object`. Should no control block be had, the object is handed to
  // the deleter before the allocation failure propagates, so it never leaks.
  explicit SharedHandle(T* object, Deleter deleter = Deleter()) : deleter_(std::move(deleter)) {
    if (object == nullptr) return;
    void* block;
    try {
      block = poolAlloc(sizeof(HandleControl));
    } catch (...) {
      deleter_(object);
      throw;
    }
    control_ = ::new (block) HandleControl{1, object};
  }

  SharedHandle(const SharedHandle& other) noexcept
      : control_(other.control_), deleter_(other.deleter_) {
    if (control_ != nullptr) ++control_->count;
  }
  SharedHandle(SharedHandle&& other) noexcept
      : control_(std::exchange(other.control_, nullptr)), deleter_(std::move(other.deleter_)) {}

  SharedHandle& operator=(SharedHandle other) noexcept {
    swap(other);
    return *this;
  }

  ~SharedHandle() { release(); }

  // Lets go of the object (destroying it when this was the last owner).
  void reset() noexcept { release(); }
  // Lets go of the current object and owns `object` instead.
  void reset(T* object) { SharedHandle(object, deleter_).swap(*this); }

  void swap(SharedHandle& other) noexcept {
    std::swap(control_, other.control_);
    std::swap(deleter_, other.deleter_);
  }

  T* get() const noexcept {
    return control_ != nullptr ? static_cast<T*>(control_->object) : nullptr;
  }
  T& operator*() const noexcept { return *get(); }
  T* operator->() const noexcept { return get(); }
  explicit operator bool() const noexcept { return control_ != nullptr; }

  // Owners of the object, 0 for an empty handle.
  long useCount() const noexcept { return control_ != nullptr ? control_->count : 0; }

  friend bool operator==(const SharedHandle& a, const SharedHandle& b) noexcept {
    return a.get() == b.get();
  }
  friend bool operator==(const SharedHandle& a, std::nullptr_t) noexcept { return !a; }

 private:
  void release() noexcept {
    HandleControl* control = std::exchange(control_, nullptr);
    if (control == nullptr || --control->count > 0) return;
    T* object = static_cast<T*>(control->object);
    poolFree(control);
    deleter_(object);
  }

  HandleControl* control_ = nullptr;
  [[no_unique_address]] Deleter deleter_;
};

// A new T owned by a fresh handle.
template <class T, class... Args>
SharedHandle<T> makeHandle(Args&&... args) {
  return SharedHandle<T>(new T(std::forward<Args>(args)...));
}

// A COM interface pointer that is released however the scope holding it is left, so that no
// early return or exception keeps a reference.
#pragma once

namespace sarnlink {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) {
      p_->Release();
    }
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  // Where a call that hands out a reference writes it.
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;  // the interface, or null
};

}  // namespace sarnlink

#pragma once
// ComPtr<T>: owns one reference to an interface pointer, released when the
// holder goes out of scope. For code that calls interfaces, so that early
// returns never leak a reference.

#include <utility>

#include "com/unknown.h"

namespace com {

template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    // Takes a new reference to p (if not null).
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Adopts p without taking a reference (p came from a call that took it).
    static ComPtr Attach(T* p) {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    // Releases the held reference, if any.
    void Reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    // Gives up ownership without releasing.
    T* Detach() { return std::exchange(p_, nullptr); }
    // Releases the held reference and returns the slot for an out parameter.
    T** Put() {
        Reset();
        return &p_;
    }
    // The same slot typed for QueryInterface.
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};

}  // namespace com

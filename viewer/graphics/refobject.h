// A handle to one heap record of a reference count and a value. Copies
// share the record; the last holder to let go destroys the value. GL names
// (display lists, textures) live in such records so that the GL object is
// deleted with the last node that uses it.
#pragma once

#include <new>

namespace libutils {

template <class T>
class refobject {
 public:
  refobject() = default;
  refobject(const refobject& other) : record_(other.record_) {
    if (record_) ++record_->count;
  }
  refobject& operator=(const refobject& other) {
    record_t* shared = other.record_;  // other may be this very handle
    if (shared) ++shared->count;
    relobject();
    record_ = shared;
    return *this;
  }
  ~refobject() { relobject(); }

  // Drops the current record and makes a new one holding a default T with
  // a count of 1; false (and empty) when the memory cannot be had.
  bool newobject() {
    relobject();
    record_ = new (std::nothrow) record_t;
    return record_ != nullptr;
  }
  // Gives up this handle's share; empty afterwards in every case.
  void relobject() {
    if (record_ && --record_->count == 0) delete record_;
    record_ = nullptr;
  }

  bool empty() const { return record_ == nullptr; }
  explicit operator bool() const { return record_ != nullptr; }
  // The holders of the record; 0 when empty.
  long long use_count() const { return record_ ? record_->count : 0; }

  // Only on a handle that holds a record.
  T* operator->() { return &record_->value; }
  const T* operator->() const { return &record_->value; }
  T& operator*() { return record_->value; }
  const T& operator*() const { return record_->value; }

 private:
  struct record_t {
    long long count = 1;
    T value;
  };
  record_t* record_ = nullptr;
};

}  // namespace libutils

#pragma once

#include <utility>

namespace tolvane {

// Owns one plain record that holds heap arrays (a series, a spectrum, a loaded history) and
// hands it to the record's own release function when it goes, on every way out of a scope. The
// record stays a plain struct that the analysis functions take by reference; this is only who
// frees it. Records start zeroed, as their owners always create them.
template <typename Record, void (*Release)(Record&)>
class Owned {
 public:
  Owned() : record_{} {}
  explicit Owned(const Record& record) : record_(record) {}
  ~Owned() { Release(record_); }

  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : record_(std::exchange(other.record_, Record{})) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      Release(record_);
      record_ = std::exchange(other.record_, Record{});
    }
    return *this;
  }

  Record& get() { return record_; }
  const Record& get() const { return record_; }
  Record* operator->() { return &record_; }
  const Record* operator->() const { return &record_; }

 private:
  Record record_;
};

}  // namespace tolvane

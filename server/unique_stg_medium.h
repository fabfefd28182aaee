// Owner of a storage medium handed out by IDataObject::GetData.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <utility>

class UniqueStgMedium {
  public:
    UniqueStgMedium() = default;
    ~UniqueStgMedium() { reset(); }
    UniqueStgMedium(const UniqueStgMedium&) = delete;
    UniqueStgMedium& operator=(const UniqueStgMedium&) = delete;
    UniqueStgMedium(UniqueStgMedium&& other) noexcept
        : medium_(std::exchange(other.medium_, STGMEDIUM{})) {}
    UniqueStgMedium& operator=(UniqueStgMedium&& other) noexcept {
        if (this != &other) {
            reset();
            medium_ = std::exchange(other.medium_, STGMEDIUM{});
        }
        return *this;
    }
    const STGMEDIUM& get() const { return medium_; }
    explicit operator bool() const { return medium_.tymed != TYMED_NULL; }
    void reset() {
        if (medium_.tymed != TYMED_NULL)
            ReleaseStgMedium(&medium_);
        medium_ = STGMEDIUM{};
    }
    // For GetData: lets go of the current medium and hands out the place for the new one.
    STGMEDIUM* put() {
        reset();
        return &medium_;
    }

  private:
    STGMEDIUM medium_{};
};

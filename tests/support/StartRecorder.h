// Records what the program starts (kel::gStart) instead of starting it, for as long
// as it lives; the answer says whether each start "started". A recorder made while
// another lives takes over until it ends, then hands back to the other.
#pragma once

#include "sysinfo/MachineFacts.h"
#include "sysinfo/Start.h"

#include <functional>
#include <vector>

namespace testing_support {

class StartRecorder {
  public:
    using Answer = std::function<bool(const kel::TStart&, kel::TShow)>;
    // The real starter, for an answer that lets some starts through.
    static inline bool (*const real)(const kel::TStart&, kel::TShow) = kel::gStart;

    explicit StartRecorder(Answer answer = [](const kel::TStart&, kel::TShow) { return true; })
        : answer_(std::move(answer)) {
        current_ = this;
        kel::gStart = record;
    }
    ~StartRecorder() {
        kel::gStart = kept_;
        current_ = previous_;
    }
    StartRecorder(const StartRecorder&) = delete;
    StartRecorder& operator=(const StartRecorder&) = delete;

    const std::vector<kel::TStart>& starts() const { return starts_; }

  private:
    static bool record(const kel::TStart& start, kel::TShow show) {
        current_->starts_.push_back(start);
        return current_->answer_(start, show);
    }
    static inline StartRecorder* current_ = nullptr;
    StartRecorder* const previous_ = current_;
    bool (*kept_)(const kel::TStart&, kel::TShow) = kel::gStart;
    Answer answer_;
    std::vector<kel::TStart> starts_;
};

// The Windows the program believes it runs on, for as long as it lives; one made
// while another lives gives back the other's version when it ends.
class WindowsVersionOverride {
  public:
    explicit WindowsVersionOverride(kel::TWindowsVersion version) {
        version_ = version;
        kel::gWindowsVersion = [] { return version_; };
    }
    ~WindowsVersionOverride() {
        kel::gWindowsVersion = kept_;
        version_ = previous_;
    }
    WindowsVersionOverride(const WindowsVersionOverride&) = delete;
    WindowsVersionOverride& operator=(const WindowsVersionOverride&) = delete;

  private:
    static inline kel::TWindowsVersion version_;
    const kel::TWindowsVersion previous_ = version_;
    kel::TWindowsVersion (*kept_)() = kel::gWindowsVersion;
};

} // namespace testing_support

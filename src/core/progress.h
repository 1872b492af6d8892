// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a build stands, for a display that shows it. The stages of a build call these from the main thread;
// the base class shows nothing, so a build without a display passes `Progress` itself.
#include <cstdint>
#include <string_view>

namespace qp {

class Progress {
public:
    virtual ~Progress() = default;
    // A new stage ("parsing files", "compressing"), at 0 %.
    virtual void begin([[maybe_unused]] std::string_view stage) {}
    // How far the current stage is: `done` of `total` steps.
    virtual void advance([[maybe_unused]] uint64_t done, [[maybe_unused]] uint64_t total) {}
    // A message line is about to be printed on the same console: a display gets out of its way.
    virtual void suspend() {}
};

// One of several equal parts of a stage (a file of a book's files): its steps count as a share of the stage.
class PartOfStage : public Progress {
public:
    PartOfStage(Progress& stage, uint64_t parts) : stage_(stage), parts_(parts) {}
    void setPart(uint64_t part) { part_ = part; }
    void advance(uint64_t done, uint64_t total) override {
        if (total == 0 || parts_ == 0) return;
        stage_.advance(part_ * kSteps + done * kSteps / total, parts_ * kSteps);
    }

private:
    static constexpr uint64_t kSteps = 1000;
    Progress& stage_;
    uint64_t parts_;
    uint64_t part_ = 0;
};

}  // namespace qp

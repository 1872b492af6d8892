#pragma once
// A message sink that records the errors and warnings raised while it is installed.
#include <vector>

#include "core/message_sink.h"

namespace stringtest {

class FaultRecorder : public qp::MessageSink {
public:
    struct Raised {
        int code;
        int a;
    };

    FaultRecorder() : previous_(qp::installSink(this)) {}
    ~FaultRecorder() override { qp::installSink(previous_); }

    void error(int code, int a, int, int) override { errors.push_back({code, a}); }
    void warning(int code, int a, int, int) override { warnings.push_back({code, a}); }

    bool sawError(int code) const { return contains(errors, code); }
    bool sawWarning(int code) const { return contains(warnings, code); }

    std::vector<Raised> errors;
    std::vector<Raised> warnings;

private:
    static bool contains(const std::vector<Raised>& list, int code) {
        for (const Raised& raised : list)
            if (raised.code == code) return true;
        return false;
    }
    qp::MessageSink* previous_;
};

}  // namespace stringtest

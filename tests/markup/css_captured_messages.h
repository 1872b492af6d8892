#pragma once
// A message sink for the style-sheet tests: records every error and warning raised while it is installed.
#include <string>
#include <vector>

#include "core/message_sink.h"

struct CapturedMessage {
    int code;
    int a;
    int b;
};

class CapturedMessages : public qp::MessageSink {
public:
    CapturedMessages() { previous_ = qp::installSink(this); }
    ~CapturedMessages() override { qp::installSink(previous_); }

    void error(int code, int a, int b, int) override { errors.push_back({code, a, b}); }
    void warning(int code, int a, int b, int) override { warnings.push_back({code, a, b}); }

    std::vector<int> warningCodes() const {
        std::vector<int> codes;
        for (const CapturedMessage& message : warnings) codes.push_back(message.code);
        return codes;
    }

    std::vector<CapturedMessage> errors;
    std::vector<CapturedMessage> warnings;

private:
    qp::MessageSink* previous_ = nullptr;
};

#pragma once
// A link prompt that records every question and answers from a script (then the safe answer).
#include "navlet/NavletPrompt.h"

#include <deque>
#include <vector>

namespace navlet_test {

struct PromptCall {
    QString text;
    navlet::PromptButtons buttons;
};

class RecordingPrompt {
public:
    std::vector<PromptCall> calls;
    std::deque<navlet::PromptAnswer> answers;

    navlet::LinkPrompt prompt()
    {
        return [this](const QString& text, navlet::PromptButtons buttons) {
            calls.push_back({text, buttons});
            if (answers.empty())
                return navlet::safeAnswer(buttons);
            const navlet::PromptAnswer a = answers.front();
            answers.pop_front();
            return a;
        };
    }
};

} // namespace navlet_test

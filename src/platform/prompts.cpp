#include "platform/prompts.h"

#include <deque>

namespace prompts {
namespace {

struct State {
    Backend* backend = nullptr;
    std::deque<Answer> answers;
    struct QueuedName {
        bool chosen;
        QString name;
    };
    std::deque<QueuedName> names;
    std::vector<Message> shown;
    std::vector<FileRequest> requests;
};

State& state() {
    static State s;
    return s;
}

} // namespace

void setBackend(Backend* backend) {
    state().backend = backend;
}

Answer message(const Message& m) {
    State& s = state();
    s.shown.push_back(m);
    if (!s.answers.empty()) {
        const Answer a = s.answers.front();
        s.answers.pop_front();
        return a;
    }
    if (s.backend) {
        return s.backend->message(m);
    }
    return m.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

std::optional<QString> chooseFile(const FileRequest& r) {
    State& s = state();
    s.requests.push_back(r);
    if (!s.names.empty()) {
        const auto n = s.names.front();
        s.names.pop_front();
        if (!n.chosen) {
            return std::nullopt;
        }
        return n.name;
    }
    if (s.backend) {
        return s.backend->chooseFile(r);
    }
    return std::nullopt;
}

void setNextAnswer(Answer a) {
    state().answers.push_back(a);
}
void setNextFileName(std::optional<QString> name) {
    state().names.push_back({name.has_value(), name.value_or(QString())});
}
const std::vector<Message>& shownMessages() {
    return state().shown;
}
const std::vector<FileRequest>& fileRequests() {
    return state().requests;
}

void clearHistory() {
    State& s = state();
    s.shown.clear();
    s.requests.clear();
    s.answers.clear();
    s.names.clear();
}

} // namespace prompts

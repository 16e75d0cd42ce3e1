// The stand-in for one modal dialog: each request is recorded and answered by the next queued
// answer, else by the real dialog once the program has installed it, else by a fixed answer.
// Tests queue answers and read back what was asked, so no test ever waits on a modal window.
#pragma once

#include <deque>
#include <utility>
#include <vector>

namespace platform {

template <typename Request, typename Answer> class AnswerQueue {
  public:
    using Dialog = Answer (*)(const Request&);

    // `unanswered` answers when nothing is queued and no dialog is installed; without it,
    // Answer{} does (Ok, or nothing for a dialog that can be cancelled).
    explicit AnswerQueue(Dialog unanswered = nullptr) : unanswered_(unanswered) {}

    Answer ask(const Request& request) {
        asked_.push_back(request);
        if (!queued_.empty()) {
            Answer next = std::move(queued_.front());
            queued_.pop_front();
            return next;
        }
        if (dialog_) {
            return dialog_(request);
        }
        return unanswered_ ? unanswered_(request) : Answer{};
    }

    // The real dialog; nullptr takes it away again.
    void setDialog(Dialog dialog) { dialog_ = dialog; }

    // --- for tests ---
    void queue(Answer answer) { queued_.push_back(std::move(answer)); }
    // Every request so far, in order.
    const std::vector<Request>& asked() const { return asked_; }
    // Forgets the queued answers and the requests.
    void clear() {
        queued_.clear();
        asked_.clear();
    }

  private:
    Dialog unanswered_;
    Dialog dialog_ = nullptr;
    std::deque<Answer> queued_;
    std::vector<Request> asked_;
};

} // namespace platform

#include "platform/prompts.h"

namespace prompts {

platform::AnswerQueue<Message, Answer>& messageAnswers() {
    static platform::AnswerQueue<Message, Answer> queue(
        [](const Message& m) { return m.buttons == Buttons::YesNo ? Answer::No : Answer::Ok; });
    return queue;
}

platform::AnswerQueue<FileRequest, std::optional<QString>>& fileAnswers() {
    static platform::AnswerQueue<FileRequest, std::optional<QString>> queue;
    return queue;
}

Answer message(const Message& m) {
    return messageAnswers().ask(m);
}

std::optional<QString> chooseFile(const FileRequest& r) {
    return fileAnswers().ask(r);
}

void setNextAnswer(Answer a) {
    messageAnswers().queue(a);
}
void setNextFileName(std::optional<QString> name) {
    fileAnswers().queue(std::move(name));
}
const std::vector<Message>& shownMessages() {
    return messageAnswers().asked();
}
const std::vector<FileRequest>& fileRequests() {
    return fileAnswers().asked();
}

void clearHistory() {
    messageAnswers().clear();
    fileAnswers().clear();
}

} // namespace prompts

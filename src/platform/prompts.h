// The one seam through which every message box and file dialog goes. The program installs the
// real windows on its two answer queues; tests queue the next answers and file names instead,
// and read back what was asked, so no test ever waits on a modal window.
#pragma once

#include "platform/answerqueue.h"

#include <QString>
#include <optional>
#include <vector>

namespace prompts {

enum class Icon { None, Information, Warning, Critical, Question };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No, Cancel };

struct Message {
    QString title;
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

struct FileRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString title = {};         // empty: the platform's own
    QString filter = {};        // "Description|*.EXT" pairs, empty: all files
    QString defaultSuffix = {}; // without the dot
    QString initialDir = {};
    QString fileName = {}; // offered name, with its folder
    bool overwritePrompt = false;
};

Answer message(const Message& m);
// The chosen file's full name, or nothing when the user cancelled.
std::optional<QString> chooseFile(const FileRequest& r);

// The queues behind message() and chooseFile(). Without a queued answer and without a real
// window, a box answers Ok (or No for Yes/No) and a file dialog is cancelled.
platform::AnswerQueue<Message, Answer>& messageAnswers();
platform::AnswerQueue<FileRequest, std::optional<QString>>& fileAnswers();

// --- for tests ---
void setNextAnswer(Answer a);
void setNextFileName(std::optional<QString> name);
const std::vector<Message>& shownMessages();
const std::vector<FileRequest>& fileRequests();
// Forgets the queued answers and what was asked, of both queues.
void clearHistory();

} // namespace prompts

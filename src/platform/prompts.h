// The one seam through which every message box and file dialog goes. The program installs a
// backend that shows real windows; tests queue the next answers and file names instead, and
// read back what was asked, so no test ever waits on a modal window.
#pragma once

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

class Backend {
  public:
    virtual ~Backend() = default;
    virtual Answer message(const Message& m) = 0;
    virtual std::optional<QString> chooseFile(const FileRequest& r) = 0;
};

// The backend stays owned by the caller; nullptr removes it.
void setBackend(Backend* backend);

Answer message(const Message& m);
// The chosen file's full name, or nothing when the user cancelled.
std::optional<QString> chooseFile(const FileRequest& r);

// --- for tests ---
// Queued answers are used first, in order. Without one and without a backend, a box answers
// Ok (or No for Yes/No) and a file dialog is cancelled.
void setNextAnswer(Answer a);
void setNextFileName(std::optional<QString> name);
const std::vector<Message>& shownMessages();
const std::vector<FileRequest>& fileRequests();
void clearHistory();

} // namespace prompts

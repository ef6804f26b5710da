#include "window.h"

#include <cstdio>

namespace platform {

void RecordingWindow::messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                                 MessageButtons buttons) {
    std::lock_guard lock(mutex_);
    messages_.push_back(Message{std::string(text), std::string(title), icon, buttons});
}

std::vector<Message> RecordingWindow::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

void RecordingWindow::clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}

void ConsoleWindow::messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                               MessageButtons buttons) {
    RecordingWindow::messageBox(text, title, icon, buttons);
    if (print_) {
        std::string line(title);
        line += line.empty() ? "" : ": ";
        line += text;
        while (!line.empty() && line.back() == '\n')
            line.pop_back();
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

}  // namespace platform

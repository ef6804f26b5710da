#pragma once
// The owner of message boxes. Every core routine that can fail receives a Window and reports
// the failure itself, at once; the caller only tests the result.

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class MessageIcon { None, Warning, Information, Error };
enum class MessageButtons { Ok };

struct Message {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

class Window {
  public:
    virtual ~Window() = default;
    // Shows a modal message box owned by this window. May be called from worker threads.
    virtual void messageBox(std::string_view text, std::string_view title,
                            MessageIcon icon = MessageIcon::None,
                            MessageButtons buttons = MessageButtons::Ok) = 0;
};

// Keeps every message in order; thread-safe. Used by tests and as the base of the console window.
class RecordingWindow : public Window {
  public:
    void messageBox(std::string_view text, std::string_view title,
                    MessageIcon icon = MessageIcon::None,
                    MessageButtons buttons = MessageButtons::Ok) override;
    std::vector<Message> messages() const;
    void clear();

  private:
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
};

// Prints each message to stderr as "title: text" and keeps it for a JSON report.
class ConsoleWindow : public RecordingWindow {
  public:
    explicit ConsoleWindow(bool print = true) : print_(print) {}
    void messageBox(std::string_view text, std::string_view title,
                    MessageIcon icon = MessageIcon::None,
                    MessageButtons buttons = MessageButtons::Ok) override;

  private:
    bool print_;
};

}  // namespace platform

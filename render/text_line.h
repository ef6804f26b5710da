#pragma once
// One line of text assembled from formatted pieces in a bounded buffer of 4,500 bytes (the
// terminating byte included): a piece that does not fit is cut at the bound. The list limits
// of the views keep their lines far below it.

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <string>

namespace render {

class TextLine {
  public:
    static constexpr size_t kBufferSize = 4500;

    __attribute__((format(printf, 2, 3))) void add(const char* format, ...) {
        char piece[kBufferSize];
        va_list args;
        va_start(args, format);
        const int n = std::vsnprintf(piece, sizeof piece, format, args);
        va_end(args);
        if (n > 0)
            append(piece, std::min<size_t>(static_cast<size_t>(n), sizeof piece - 1));
    }
    void addChar(char c) { append(&c, 1); }
    // Replaces a final blank by `text`, or appends it when the line does not end in a blank.
    void replaceLastBlank(const char* text) {
        if (!text_.empty() && text_.back() == ' ')
            text_.pop_back();
        add("%s", text);
    }

    const std::string& str() const { return text_; }

  private:
    void append(const char* p, size_t n) {
        const size_t room = kBufferSize - 1 - text_.size();
        text_.append(p, std::min(n, room));
    }
    std::string text_;
};

}  // namespace render

#pragma once
// The scripts of `ardentix-cli ui`: one action a line, '#' starts a comment.

#include <string>
#include <vector>

namespace cli {

struct UiAction {
    enum Kind {
        Menu,
        Command,
        Click,
        Down,
        Move,
        Up,
        Key,
        Resize,
        Edit,
        Dialog,
        Save,
        Snapshot,
        State
    } kind = Menu;
    int line = 0;
    std::vector<long> numbers;                        // ids, coordinates, sizes
    std::string text;                                 // edit text, file name, "ok"/"cancel"
    std::vector<std::pair<int, std::string>> values;  // dialog CONTROL=VALUE
};

// Reads a whole script; throws std::runtime_error("line N: ...") at the first bad line.
std::vector<UiAction> parseUiScript(const std::string& script);

}  // namespace cli

#include "ui_script.h"

#include <sstream>
#include <stdexcept>

namespace cli {

namespace {

struct ActionSyntax {
    const char* name;
    UiAction::Kind kind;
    int numbers;  // how many numbers follow the action word
};

constexpr ActionSyntax kActions[] = {
    {"menu", UiAction::Menu, 1},   {"command", UiAction::Command, 1},
    {"click", UiAction::Click, 2}, {"down", UiAction::Down, 2},
    {"move", UiAction::Move, 2},   {"up", UiAction::Up, 2},
    {"key", UiAction::Key, 1},     {"resize", UiAction::Resize, 2},
    {"edit", UiAction::Edit, 1},   {"dialog", UiAction::Dialog, 1},
    {"save", UiAction::Save, 0},   {"snapshot", UiAction::Snapshot, 0},
    {"state", UiAction::State, 0}, {"trace", UiAction::Trace, 0},
};

long parseNumber(const std::string& word, int line) {
    size_t used = 0;
    long v = 0;
    try {
        v = std::stol(word, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != word.size())
        throw std::runtime_error("line " + std::to_string(line) + ": '" + word +
                                 "' is not a number");
    return v;
}

std::string restOfLine(std::istringstream& in) {
    std::string rest;
    std::getline(in, rest);
    const size_t first = rest.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    rest = rest.substr(first);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r'))
        rest.pop_back();
    return rest;
}

void checkRange(const UiAction& a, long low, long high, const char* what) {
    const long v = a.numbers[0];
    if (v < low || v > high)
        throw std::runtime_error("line " + std::to_string(a.line) + ": " + what + " " +
                                 std::to_string(v) + " is not in " + std::to_string(low) + ".." +
                                 std::to_string(high));
}

UiAction parseLine(const std::string& text, int line) {
    std::istringstream in(text);
    std::string word;
    in >> word;
    const ActionSyntax* syntax = nullptr;
    for (const ActionSyntax& s : kActions)
        if (word == s.name)
            syntax = &s;
    if (!syntax)
        throw std::runtime_error("line " + std::to_string(line) + ": unknown action '" + word +
                                 "'");
    UiAction a;
    a.kind = syntax->kind;
    a.line = line;
    for (int i = 0; i < syntax->numbers; ++i) {
        std::string n;
        if (!(in >> n))
            throw std::runtime_error("line " + std::to_string(line) + ": '" + word + "' needs " +
                                     std::to_string(syntax->numbers) + " number(s)");
        a.numbers.push_back(parseNumber(n, line));
    }
    switch (a.kind) {
        case UiAction::Menu:
            checkRange(a, 40001, 40033, "menu command");
            break;
        case UiAction::Command:
            checkRange(a, 204, 225, "internal command");
            break;
        case UiAction::Resize:
            if (a.numbers[0] < 1 || a.numbers[1] < 1 || a.numbers[0] > 10000 ||
                a.numbers[1] > 10000)
                throw std::runtime_error("line " + std::to_string(line) +
                                         ": the size must lie in 1..10000");
            break;
        case UiAction::Click:
        case UiAction::Down:
        case UiAction::Move:
        case UiAction::Up:
            for (long v : a.numbers)
                if (v < -32768 || v > 32767)
                    throw std::runtime_error("line " + std::to_string(line) +
                                             ": coordinates must fit 16 bits");
            break;
        case UiAction::Edit:
            a.text = restOfLine(in);
            return a;
        case UiAction::Dialog: {
            std::string answer;
            if (!(in >> answer) || (answer != "ok" && answer != "cancel"))
                throw std::runtime_error("line " + std::to_string(line) +
                                         ": 'dialog ID' must be followed by ok or cancel");
            a.text = answer;
            std::string pair;
            while (in >> pair) {
                const size_t eq = pair.find('=');
                if (eq == std::string::npos || eq == 0)
                    throw std::runtime_error("line " + std::to_string(line) + ": '" + pair +
                                             "' is not CONTROL=VALUE");
                a.values.emplace_back(static_cast<int>(parseNumber(pair.substr(0, eq), line)),
                                      pair.substr(eq + 1));
            }
            return a;
        }
        case UiAction::Save:
        case UiAction::Snapshot:
        case UiAction::State:
        case UiAction::Trace:
            a.text = restOfLine(in);
            if (a.text.empty())
                throw std::runtime_error("line " + std::to_string(line) + ": '" + word +
                                         "' needs a file name");
            return a;
        default:
            break;
    }
    std::string extra;
    if (in >> extra)
        throw std::runtime_error("line " + std::to_string(line) + ": unexpected '" + extra + "'");
    return a;
}

}  // namespace

std::vector<UiAction> parseUiScript(const std::string& script) {
    std::vector<UiAction> actions;
    std::istringstream in(script);
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        const size_t hash = text.find('#');
        if (hash != std::string::npos)
            text.erase(hash);
        if (text.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        actions.push_back(parseLine(text, line));
    }
    return actions;
}

}  // namespace cli

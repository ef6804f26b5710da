// ardentix-cli ui: the desktop program without a window, driven by a script. Start-up runs as
// window creation on a client area of the given size, then the script's actions in order, with
// whatever they invalidated painted after each, as the window system would.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/headless_session.h"
#include "commands.h"
#include "common.h"
#include "export/atomic_file.h"
#include "export/picture_file.h"
#include "platform/bmp.h"
#include "ui_script.h"
#include "ui_state.h"

namespace cli {

namespace {

struct UiOptions {
    std::string size = "1280x960";
    std::string script;
    std::string snapshot;
    std::string state;
};

std::pair<int32_t, int32_t> parseSize(const std::string& text) {
    int w = 0, h = 0;
    char x = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X') ||
        w < 1 || h < 1 || w > 10000 || h > 10000)
        throw UsageError("--size must be WIDTHxHEIGHT, each 1..10000, e.g. 1280x960");
    return {w, h};
}

std::string readScript(const std::string& name) {
    if (name.empty())
        return {};
    std::stringstream text;
    if (name == "-") {
        text << std::cin.rdbuf();
        return text.str();
    }
    std::ifstream in(name, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read the script " + name);
    text << in.rdbuf();
    return text.str();
}

std::string writeState(const std::string& path, const app::AppSettings& a,
                       const platform::HeadlessHost& host) {
    const std::string text = uiStateJson(a, host).dump(1) + "\n";
    return exporter::writeFileAtomically(path, [&](std::FILE* f) {
        return std::fwrite(text.data(), 1, text.size(), f) == text.size();
    });
}

void checkPictureName(const std::string& name, int line) {
    if (!exporter::isPictureFileName(name))
        throw std::runtime_error((line ? "line " + std::to_string(line) + ": " : std::string()) +
                                 "a snapshot name must end in .png, .bmp or .pcx: " + name);
}

int runUi(const UiOptions& o) {
    const auto [width, height] = parseSize(o.size);
    std::vector<UiAction> actions;
    try {
        actions = parseUiScript(readScript(o.script));
        for (const UiAction& a : actions)
            if (a.kind == UiAction::Snapshot)
                checkPictureName(a.text, a.line);
        if (!o.snapshot.empty())
            checkPictureName(o.snapshot, 0);
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "ardentix-cli ui: %s%s\n",
                     o.script.empty() ? "" : (o.script + ": ").c_str(), e.what());
        return 1;
    }

    platform::HeadlessHost host(width, height, true, platform::loadResourceBitmap);
    app::AppSettings settings;
    app::computeDerivedInitialValues(settings);
    app::HeadlessSession session(settings, host);
    if (!session.create()) {
        std::fprintf(stderr, "ardentix-cli ui: the window could not be created\n");
        return 1;
    }
    const auto fail = [](int line, const std::string& why) {
        std::fprintf(stderr, "ardentix-cli ui: line %d: %s\n", line, why.c_str());
        return 1;
    };
    for (const UiAction& a : actions) {
        const auto x = static_cast<int32_t>(a.numbers.size() > 0 ? a.numbers[0] : 0);
        const auto y = static_cast<int32_t>(a.numbers.size() > 1 ? a.numbers[1] : 0);
        switch (a.kind) {
            case UiAction::Menu:
            case UiAction::Command:
                session.command(x);
                break;
            case UiAction::Click:
                session.click(x, y);
                break;
            case UiAction::Down:
                session.buttonDown(x, y);
                break;
            case UiAction::Move:
                session.mouseMove(x, y);
                break;
            case UiAction::Up:
                session.buttonUp(x, y);
                break;
            case UiAction::Key:
                session.key(static_cast<uint32_t>(x));
                break;
            case UiAction::Resize:
                session.resize(x, y);
                break;
            case UiAction::Edit:
                host.setEditText(x, a.text);
                break;
            case UiAction::Dialog: {
                platform::HeadlessHost::DialogAnswer answer;
                answer.ok = a.text == "ok";
                for (const auto& [id, value] : a.values)
                    answer.values.push_back(platform::DialogControl{id, value, value == "1"});
                host.queueDialogAnswer(x, std::move(answer));
                break;
            }
            case UiAction::Save:
                host.queueSaveFileName(a.text);
                break;
            case UiAction::Snapshot:
                if (const std::string why = exporter::writePictureFile(a.text, host.picture());
                    !why.empty())
                    return fail(a.line, why);
                break;
            case UiAction::State:
                if (const std::string why = writeState(a.text, settings, host); !why.empty())
                    return fail(a.line, why);
                break;
        }
    }
    if (!o.snapshot.empty())
        if (const std::string why = exporter::writePictureFile(o.snapshot, host.picture());
            !why.empty()) {
            std::fprintf(stderr, "ardentix-cli ui: %s\n", why.c_str());
            return 1;
        }
    if (!o.state.empty())
        if (const std::string why = writeState(o.state, settings, host); !why.empty()) {
            std::fprintf(stderr, "ardentix-cli ui: %s\n", why.c_str());
            return 1;
        }
    session.destroy();
    return 0;
}

}  // namespace

void addUiCommand(CLI::App& app, Action& run) {
    auto o = std::make_shared<UiOptions>();
    CLI::App* cmd = app.add_subcommand("ui", "Run the desktop program headless from a script");
    cmd->add_option("--size", o->size, "Client area WIDTHxHEIGHT")->capture_default_str();
    cmd->add_option("--script", o->script, "Script of actions, one a line ('-': standard input)");
    cmd->add_option("--snapshot", o->snapshot, "Write the final picture (.png, .bmp or .pcx)");
    cmd->add_option("--state", o->state, "Write the final state (JSON)");
    cmd->callback([o, &run] { run = [o] { return runUi(*o); }; });
}

}  // namespace cli

#include "headless_host.h"

#include <algorithm>

namespace platform {

namespace {
std::string rectText(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}
}  // namespace

HeadlessHost::HeadlessHost(int32_t width, int32_t height, bool printMessages, BitmapLoader loader)
    : picture_(std::max(width, 0), std::max(height, 0), 0xFFFFFFu),
      loader_(std::move(loader)),
      messages_(printMessages) {}

void HeadlessHost::messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                              MessageButtons buttons) {
    messages_.messageBox(text, title, icon, buttons);
    log_.push_back("messageBox " + std::string(title));
}

Rect HeadlessHost::clipped(const Rect& r) const {
    return Rect{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, picture_.width),
                std::min(r.bottom, picture_.height)};
}

void HeadlessHost::invalidateRect(const Rect* rect, bool erase) {
    const Rect r = clipped(rect ? *rect : clientRect());
    log_.push_back(std::string("invalidate ") + (rect ? rectText(*rect) : "all") +
                   (erase ? " erase" : ""));
    if (r.empty())
        return;
    if (std::find(invalid_.begin(), invalid_.end(), r) == invalid_.end())
        invalid_.push_back(r);
    if (erase && std::find(erase_.begin(), erase_.end(), r) == erase_.end())
        erase_.push_back(r);
}

std::vector<Rect> HeadlessHost::beginPaint() {
    for (const Rect& r : erase_)
        for (int32_t y = r.top; y < r.bottom; ++y)
            std::fill_n(
                picture_.pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture_.width + r.left,
                r.right - r.left, 0xFFFFFFu);
    erase_.clear();
    std::vector<Rect> region;
    region.swap(invalid_);
    return region;
}

void HeadlessHost::resize(int32_t width, int32_t height) {
    picture_ = Bitmap(std::max(width, 0), std::max(height, 0), 0xFFFFFFu);
    invalid_.clear();
    erase_.clear();
    log_.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
    invalidateRect(nullptr, true);
}

void HeadlessHost::requestClose() {
    closeRequested_ = true;
    log_.push_back("close");
}

void HeadlessHost::postQuit(int exitCode) {
    quitPosted_ = true;
    exitCode_ = exitCode;
    log_.push_back("quit " + std::to_string(exitCode));
}

void HeadlessHost::checkMenuItem(int id, bool checked) {
    if (checked)
        checkedItems_.insert(id);
    else
        checkedItems_.erase(id);
}

std::optional<Bitmap> HeadlessHost::loadBitmap(std::string_view name) {
    log_.push_back("loadBitmap " + std::string(name));
    return loader_ ? loader_(name) : std::nullopt;
}

void HeadlessHost::createEditControl(int id, std::string_view title) {
    EditControl edit;
    edit.title = title;
    edits_[id] = edit;
    log_.push_back("createEdit " + std::to_string(id));
}

void HeadlessHost::moveEditControl(int id, int32_t x, int32_t y, int32_t width, int32_t height) {
    auto& e = edits_[id];
    e.x = x, e.y = y, e.width = width, e.height = height;
}

void HeadlessHost::showEditControl(int id, bool visible) {
    edits_[id].visible = visible;
}

std::string HeadlessHost::editText(int id) const {
    auto it = edits_.find(id);
    return it == edits_.end() ? std::string() : it->second.text;
}

void HeadlessHost::setEditText(int id, std::string_view text) {
    edits_[id].text = text;
}

CursorShape HeadlessHost::setCursor(CursorShape shape) {
    const CursorShape old = cursor_;
    cursor_ = shape;
    return old;
}

void HeadlessHost::captureMouse() {
    captured_ = true;
}
void HeadlessHost::releaseMouse() {
    captured_ = false;
}

void HeadlessHost::queueDialogAnswer(int templateId, DialogAnswer answer) {
    dialogAnswers_[templateId].push_back(std::move(answer));
}

void HeadlessHost::queueSaveFileName(std::string name) {
    saveNames_.push_back(std::move(name));
}

bool HeadlessHost::runDialog(DialogRequest& request) {
    dialogsShown_.push_back(request);
    log_.push_back("dialog " + std::to_string(request.templateId));
    auto& queue = dialogAnswers_[request.templateId];
    if (queue.empty())
        return true;
    DialogAnswer answer = std::move(queue.front());
    queue.pop_front();
    // The values are entered as a user would, in order: text into enabled edit controls, and
    // buttons set as the value says (checked, or a non-zero text such as "1").
    for (const DialogControl& v : answer.values) {
        DialogControl* c = request.find(v.id);
        if (!c || !c->enabled)
            continue;
        if (c->kind == DialogControlKind::Edit)
            c->text = v.text;
        else
            request.setChecked(v.id, v.checked || (!v.text.empty() && v.text != "0"));
    }
    return answer.ok;
}

std::optional<std::string> HeadlessHost::chooseSaveFile(const SaveFileRequest& request) {
    log_.push_back("saveFile " + request.title);
    if (saveNames_.empty())
        return std::nullopt;
    std::string name = std::move(saveNames_.front());
    saveNames_.pop_front();
    // A name typed without an extension gets the default one, as the platform's dialog does.
    const size_t slash = name.find_last_of('/');
    const size_t dot = name.find_last_of('.');
    if (!request.defaultExtension.empty() &&
        (dot == std::string::npos || (slash != std::string::npos && dot < slash)))
        name += "." + request.defaultExtension;
    return name;
}

}  // namespace platform

#include "snapshot.h"

#include <algorithm>
#include <cctype>

#include "export/bmp_writer.h"
#include "export/pcx_writer.h"
#include "export/png_writer.h"

namespace app {

namespace {

constexpr std::size_t kFileNameCapacity = 256;

// True when the name is longer than the extension and ends in it, whatever the case.
bool endsWith(const std::string& name, const char* ext) {
    const std::size_t n = name.size();
    if (static_cast<long>(n) - 4 <= 0)
        return false;
    for (std::size_t i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(name[n - 4 + i])) != ext[i])
            return false;
    return true;
}

}  // namespace

std::optional<std::string> chooseSnapshotFile(AppSettings& a) {
    platform::SaveFileRequest request;
    request.title = "Snapshot File Name";
    request.filters = {{"Bitmap Files (*.bmp)", "*.bmp"},
                       {"PCX Files (*.pcx)", "*.pcx"},
                       {"PNG Files (*.png)", "*.png"}};
    request.defaultExtension = "bmp";
    request.overwritePrompt = true;
    std::optional<std::string> name = a.window().chooseSaveFile(request);
    if (name && name->size() >= kFileNameCapacity)
        name->resize(kFileNameCapacity - 1);
    return name;
}

int saveSnapshot(AppSettings& a) {
    platform::HostWindow& w = a.window();
    const platform::Bitmap capture = w.capturePicture();
    const std::optional<std::string> name = chooseSnapshotFile(a);
    if (!name)
        return 1;
    if (endsWith(*name, ".pcx")) {
        if (!exporter::writePcxFile(w, *name, capture, 0xFFFFFF))
            w.messageBox("PCX file is not created", "About Bitmap");
    } else if (endsWith(*name, ".bmp")) {
        const exporter::CaptureDescription d{capture.width, capture.height, 1, 32};
        const std::optional<exporter::BitmapInfo> info = exporter::makeBitmapInfo(w, d);
        if (!info || !exporter::writeBmpFile(w, *name, *info, capture))
            w.messageBox("Bitmap file is not created", "About Bitmap");
    } else if (endsWith(*name, ".png")) {
        if (!exporter::writePngFile(*name, capture).empty())
            w.messageBox("PNG file is not created", "About Bitmap");
    }
    return 1;
}

}  // namespace app

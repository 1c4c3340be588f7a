// The program's entry point: the editor in its window, or a screenshot of it with --shot.
#include "app/command_line.h"
#include "app/editor.h"
#include "ui/host/offscreen.h"
#include "ui/host/png_save.h"
#include "ui/host/standalone_window.h"

#include <cstdio>
#include <exception>

namespace {

int screenshot(int argc, const char* const* argv, const std::string& path) {
    tarn::Editor editor(1);
    const tarn::ScreenshotArgs args{tarn::flagValue(argc, argv, "--tab"), tarn::flagValue(argc, argv, "--pattern")};
    editor.setupScreenshot(args);
    tarn::ui::OffscreenOptions options;
    options.width = 900;
    options.height = 950;
    options.scale = 1.0f;
    options.frames = 3;
    options.frameDelta = 1.0f / 60.0f;
    options.framed = true;
    const tarn::ui::Image image = tarn::ui::renderOffscreen(editor, options);
    tarn::ui::savePng(image, path);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string shot = tarn::flagValue(argc, argv, "--shot");
        if (!shot.empty()) return screenshot(argc, argv, shot);
        tarn::Editor editor(0);
        tarn::ui::StandaloneOptions options;
        options.title = "tarnlode";
        options.width = 900;
        options.height = 950;
        return tarn::ui::runStandalone(editor, options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "editor: %s\n", e.what());
        return 1;
    }
}

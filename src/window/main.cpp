#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "window/controls.h"
#include "window/dialogs.h"
#include "window/form1.h"

static bool display_reachable() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

int main(int argc, char* argv[]) {
    if (!display_reachable()) {
        std::fputs("dotlane: no graphical display is reachable (DISPLAY is not set), so the "
                   "window cannot open.\nStart it from a desktop session, or use dotlane-cli "
                   "to convert pictures without a window.\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    dotlane::ui::install_version_info();
    dotlane::ui::install_font_substitutes();
    dotlane::ui::QtDialogs dialogs;
    dotlane::ui::Form1 window(dialogs);
    window.show();
    return app.exec();
}

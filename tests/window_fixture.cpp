#include "window_fixture.h"

#include <QApplication>

namespace dotlane::test {

QString WindowTest::text(const char* name) {
    if (auto* line = form->control<QLineEdit>(name)) return line->text();
    return get<ui::ListingBox>(name)->text();
}

void WindowTest::open(std::optional<std::string> path) {
    dialogs.files.push_back(path ? QString::fromStdString(*path) : QString());
    click("BtnOpenFile");
}

void WindowTest::go(const QString& listing, const QString& width, const QString& pages) {
    get<ui::ListingBox>("Text1")->setPlainText(listing);
    get<QLineEdit>("LSED2")->setText(width);
    get<QLineEdit>("HSED2")->setText(pages);
    click("btn_revsersego");
}

} // namespace dotlane::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    dotlane::ui::install_version_info();
    dotlane::ui::install_font_substitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#pragma once
// The window's controls held as data: one row per control, built by one loop.
#include <QColor>
#include <QFont>
#include <QHash>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace dotlane::ui {

enum class Kind { Button, Label, TextBox, ListingBox, Frame, CheckBox, PictureBox };
// Faces as the layout names them; mapped to installed faces by install_font_substitutes().
enum class Face { Window, FrameBold, Sans, ListingMono, HeaderMono, SizeMonoBold };

// System colours: 0x80000000 plus the index of the system colour.
enum SystemColour : std::uint32_t {
    kActiveTitleBar = 0x80000002,
    kWindowBackground = 0x80000005,
    kWindowText = 0x80000008,
    kButtonFace = 0x8000000F,
};

struct ControlSpec {
    const char* name;
    Kind kind;
    const char* container; // nullptr: the window's client area
    const char* caption;
    int left, top, width, height; // twips
    int tab;                      // -1: takes no focus
    Face face;
    bool visible;
    std::uint32_t back = 0; // 0: the kind's default
    std::uint32_t fore = 0;
    bool locked = false;
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 13830 / kTwipsPerPixel;
inline constexpr int kClientHeight = 8625 / kTwipsPerPixel;

const std::vector<ControlSpec>& control_table();

// Builds every control of the table as a child of `window`, in table order (later rows lie
// in front of earlier ones), and sets the tab order. Returns the controls by name.
QHash<QString, QWidget*> build_controls(QWidget* window);

void install_font_substitutes();
QFont face_font(Face face);
QColor system_colour(std::uint32_t code, const QPalette& palette);
// Sets the BackColor of a label or text box (kept as the property "BackColor").
void set_back_color(QWidget* control, std::uint32_t code);
std::uint32_t back_color(const QWidget* control);

} // namespace dotlane::ui

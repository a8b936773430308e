#include "core/presenters/editor_design.h"

#include "core/presenters/window_texts.h"

#include <algorithm>

namespace tb::design {
namespace {

constexpr Font tahoma(int pixels) { return Font{"Tahoma", pixels}; }

// The seven command buttons stand in a column in Panel1, 8 from its left edge.
constexpr Control button(std::string_view name, int top, std::string_view text, std::string_view spoken, int tab) {
    return {.name = name, .kind = Kind::PushButton, .parent = "Panel1", .rect = {8, top, 85, 31}, .text = text,
            .accessibleName = spoken, .tabOrder = tab};
}

// A label's width is what the design leaves before the next control; a height of 0
// is its font's line.
constexpr Control kControls[] = {
    {.name = "Label2", .kind = Kind::Label, .rect = {5, 5, 85 - 5 - 2, 0}, .text = "Music File", .font = tahoma(18),
     .ink = colours::blue},
    {.name = "SpeedButton1", .kind = Kind::PictureButton, .rect = {85, 3, 28, 26}, .accessibleName = "Find music file",
     .hint = "Find music files", .tabOrder = 0},
    {.name = "Edit1", .kind = Kind::Edit, .rect = {115, 5, 550, 0}, .accessibleName = "Music file", .tabOrder = 1},
    {.name = "SpeedButton2", .kind = Kind::PictureButton, .rect = {667, 5, 29, 27},
     .accessibleName = "Preview music file", .hint = "Play music files", .tabOrder = 2},
    {.name = "Label7", .kind = Kind::Label, .rect = {706, 6, 818 - 706 - 2, 0}, .text = "Playback time",
     .font = tahoma(18), .ink = colours::blue},
    // Its text is its display pattern: the 24-hour clock whatever the regional settings.
    {.name = "DateTimePicker1", .kind = Kind::TimePicker, .rect = {818, 3, 114, 32}, .text = "HH:mm:ss",
     .accessibleName = "Playback time", .tabOrder = 3},
    // A notice: read as its text, "AM", "PM" or nothing.
    {.name = "LabelAMPM", .kind = Kind::Label, .rect = {933, 7, 50, 0}},
    {.name = "Label1", .kind = Kind::Label, .rect = {5, 38, 301, 18}, .ink = colours::red},
    {.name = "ListBox1", .kind = Kind::ListBox, .rect = {0, 59, 469, 459}, .accessibleName = "Schedule", .tabOrder = 4},
    {.name = "Panel1", .kind = Kind::Panel, .rect = {476, 59, 101, 459}},
    button("Button2", 10, "&Add", "Add", 5),
    button("Button4", 59, "&Insert", "Insert", 6),
    button("Button7", 109, "&Update", "Update", 7),
    button("Button1", 159, "&Delete", "Delete", 8),
    button("Button3", 210, "&Save", "Save", 9),
    button("Button5", 263, "&Close", "Close", 10),
    button("Button6", 388, "Play", "Play selected entry", 11),
    {.name = "GroupBox1", .kind = Kind::GroupBox, .rect = {584, 49, 394, 469}, .text = "Explain",
     .ink = colours::navy},
    {.name = "Memo1", .kind = Kind::Memo, .parent = "GroupBox1", .text = window_texts::kEditorHelp,
     .accessibleName = "Help", .font = tahoma(22), .ink = colours::navy, .face = colours::face, .readOnly = true,
     .fill = true},
    // Every default of the player: nine buttons, enabled by the device.
    {.name = "MediaPlayer1", .kind = Kind::MediaPlayer, .parent = "GroupBox1", .rect = {39, 368, 316, 37},
     .accessibleName = "Preview player", .tabOrder = 12},
};

constexpr Window kEditor{.name = "TForm3", .width = 988, .height = 519, .font = tahoma(15), .controls = kControls,
                         .dpi = 120};

}  // namespace

const Window& editor() { return kEditor; }

int fittingFont(int pixels, int width, const std::function<int(int pixels)>& widestAt) {
    while (pixels > 6 && widestAt(pixels) > width) --pixels;
    return pixels;
}

std::vector<std::string> linesToFit(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line(text.substr(start, end - start));
        line.erase(line.find_last_not_of(' ') + 1);
        lines.push_back(std::move(line));
        if (end == text.size()) return lines;
        start = end + 1;
    }
}

}  // namespace tb::design

#pragma once

// Each window's design as plain data: its size and caption, and for every control its
// kind, name, place, texts, font, colours and tab order. Both front ends walk these
// tables to make their windows, and their layout tests walk the same tables, so a
// window is described once. Texts are UTF-8; places and font heights are in pixels at
// the window's design density (96 dots per inch unless the window says otherwise).

#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tb::design {

// x and y within the parent's client area (the window's, or the panel named as parent).
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Colour {
    unsigned char red = 0, green = 0, blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

struct Font {
    std::string_view face;
    int pixels = 0;  // the character height in design pixels
    bool bold = false;
};

enum class Kind {
    Panel,          // a plain container for other controls
    GroupBox,       // a framed container with a caption
    Label,
    Edit,           // one line of text
    Memo,           // several lines of text
    ListBox,
    PushButton,
    PictureButton,  // a flat button that shows a picture; its text is its name
    TrackBar,
    TimePicker,
    MediaPlayer,
    StatusBar,
    StatusPanel,    // a part of the status bar; width 0 takes the rest
};

struct Control {
    std::string_view name{};  // the design's name: "ListBox1"
    Kind kind = Kind::Label;
    std::string_view parent{};  // empty: the window itself
    Rect rect{};
    std::string_view text{};            // the caption or first contents
    std::string_view accessibleName{};  // short, says what the control is
    std::string_view hint{};            // the tooltip, also the accessible description
    std::optional<Font> font{};         // none: the window's font
    std::optional<Colour> ink{};        // the text colour
    std::optional<Colour> face{};       // the background
    int tabOrder = -1;                // -1: not reached with Tab
    bool readOnly = false;            // an edit or memo the user cannot change
    bool fill = false;                // fills its parent's inside (a group box's below its caption)
};

struct Window {
    std::string_view name{};  // "TForm1"
    std::string_view caption{};
    int width = 0, height = 0;  // the client area
    Font font{};
    std::span<const Control> controls{};
    int dpi = 96;                 // the density the places were laid out at
    std::optional<Colour> face{};  // the ground; none: the window face

    // The control of that name; a missing one is a fault in the table, not in the user's data.
    const Control& control(std::string_view controlName) const {
        for (const Control& c : controls)
            if (c.name == controlName) return c;
        noSuchControl(controlName);
    }

    // A fault in a table or in a front end that walks it: a control missing, or of a
    // kind the front end does not make for this window.
    [[noreturn]] void noSuchControl(std::string_view controlName) const {
        throw std::logic_error("window " + std::string(name) + " has no control " + std::string(controlName));
    }
    [[noreturn]] void unknownKind(const Control& c) const {
        throw std::logic_error("window " + std::string(name) + " has no maker for the kind of " + std::string(c.name));
    }

    // A control's place in the window's client area: its own plus its parents'.
    Rect inWindow(const Control& c) const {
        Rect r = c.rect;
        for (std::string_view p = c.parent; !p.empty();) {
            const Control& parent = control(p);
            r.x += parent.rect.x;
            r.y += parent.rect.y;
            p = parent.parent;
        }
        return r;
    }
};

// A menu as a flat table, SumatraPDF style: an item of level 0 followed by items of level
// 1 is a submenu; a level-0 item with a handler and no items is a command on the bar. An
// empty text is a separator. `Handler` is the presenter member the item runs.
template <class Handler>
struct MenuItem {
    int level = 0;
    std::string_view name;  // "N5"
    std::string_view text;  // "&View Playlist"
    Handler handler{};
    bool checkable = false;
};

}  // namespace tb::design

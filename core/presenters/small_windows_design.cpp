#include "core/presenters/small_windows_design.h"

#include "core/presenters/window_texts.h"

#include <algorithm>
#include <cmath>

namespace tb::design {
namespace {

constexpr Font tahoma(int pixels, bool bold = false) { return Font{"Tahoma", pixels, bold}; }

// The list is aligned to the window's bottom.
constexpr Control kViewControls[] = {
    {.name = "Label1", .kind = Kind::Label, .rect = {177, 2, 112, 20}, .text = "Existing repertoire",
     .font = tahoma(16), .ink = colours::red},
    {.name = "ListBox1", .kind = Kind::ListBox, .rect = {0, 421 - 397, 445, 397},
     .accessibleName = "Existing repertoire", .font = tahoma(12), .ink = colours::blue, .face = colours::white,
     .tabOrder = 0},
};
constexpr Window kView{.name = "TForm4", .caption = "Existing repertoire view", .width = 445, .height = 421,
                       .font = tahoma(13), .controls = kViewControls};

// Laid on the highlight-text colour: white in the light palette. The description can
// be edited in place; nothing of it is kept.
constexpr Control kAboutControls[] = {
    {.name = "Label1", .kind = Kind::Label, .rect = {25, 19, 460, 33}, .text = "Tollbrook", .font = tahoma(19, true),
     .ink = colours::red},
    {.name = "Memo1", .kind = Kind::Memo, .rect = {0, 359 - 293, 522, 293}, .text = window_texts::kAboutDescription,
     .accessibleName = "Description", .tabOrder = 0},
};
constexpr Window kAbout{.name = "TForm5", .caption = "About software", .width = 522, .height = 359,
                        .font = tahoma(16), .controls = kAboutControls, .face = colours::white};

constexpr Control kPurchaseControls[] = {
    {.name = "Memo1", .kind = Kind::Memo, .rect = {0, 0, 447, 41}, .text = window_texts::kPurchaseNote,
     .accessibleName = "Note", .font = tahoma(16), .face = colours::face, .readOnly = true},
    {.name = "Button1", .kind = Kind::PushButton, .rect = {152, 64, 121, 25}, .text = "&Buy Source Code",
     .tabOrder = 0},
};
constexpr Window kPurchase{.name = "TFormBuySourceCode", .caption = "Buy Source Code", .width = 447, .height = 141,
                           .font = tahoma(13), .controls = kPurchaseControls};

// Its size follows its text; its caption is the application's title. The text is a
// notice, read as it stands.
constexpr Control kErrorBoxControls[] = {
    {.name = "Text", .kind = Kind::Label},
    {.name = "OK", .kind = Kind::PushButton, .rect = {0, 0, 75, 23}, .text = "OK", .tabOrder = 0},
};
constexpr Window kErrorBox{.name = "ErrorBox", .controls = kErrorBoxControls};

double luminance(Colour c) {
    auto channel = [](unsigned char v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
}

}  // namespace

const Window& viewWindow() { return kView; }
const Window& aboutWindow() { return kAbout; }
const Window& purchaseWindow() { return kPurchase; }
const Window& errorBox() { return kErrorBox; }

Rect centredHeading(const Rect& design, int textWidth) {
    const int width = std::max(design.width, textWidth);
    return {design.x + design.width / 2 - width / 2, design.y, width, design.height};
}

std::string spokenName(const Control& c) {
    std::string name(c.accessibleName.empty() ? c.text : c.accessibleName);
    if (const auto amp = name.find('&'); amp != std::string::npos) name.erase(amp, 1);
    return name;
}

double contrast(Colour text, Colour ground) {
    const double a = luminance(text), b = luminance(ground);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

}  // namespace tb::design

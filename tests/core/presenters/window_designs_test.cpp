// The designs of the editor and the small windows, and the placement rules beside
// them: what both front ends build from, checked once.
#include "core/presenters/editor_design.h"

#include <gtest/gtest.h>

#include <set>

using namespace tb::design;

namespace {

const Window* const kWindows[] = {&editor(), &viewWindow(), &aboutWindow(), &purchaseWindow(), &errorBox()};

bool operable(Kind k) { return k != Kind::Label && k != Kind::Panel && k != Kind::GroupBox; }

// Each control has a parent that holds it, within the window; a screen reader can tell
// every operable control from the others; Tab reaches them in one order.
TEST(WindowDesigns, ControlsAreWithinTheirParentsNamedApartAndInOneTabOrder) {
    for (const Window* w : kWindows) {
        std::set<std::string_view> names;
        std::set<std::string> spoken;
        std::set<int> tabs;
        for (const Control& c : w->controls) {
            SCOPED_TRACE(std::string(w->name) + " " + std::string(c.name));
            EXPECT_TRUE(names.insert(c.name).second) << "named twice";
            if (!c.parent.empty()) {
                const Control& p = w->control(c.parent);
                EXPECT_TRUE(p.kind == Kind::Panel || p.kind == Kind::GroupBox);
                EXPECT_LE(c.rect.x + c.rect.width, p.rect.width);
                EXPECT_LE(c.rect.y + c.rect.height, p.rect.height);
            }
            if (w->width > 0) {
                const Rect r = w->inWindow(c);
                EXPECT_LE(r.x + r.width, w->width);
                EXPECT_LE(r.y + r.height, w->height);
            }
            if (operable(c.kind)) {
                EXPECT_FALSE(spokenName(c).empty());
                EXPECT_TRUE(spoken.insert(spokenName(c)).second) << "a second \"" << spokenName(c) << "\"";
            }
            if (c.tabOrder >= 0) {
                EXPECT_TRUE(tabs.insert(c.tabOrder).second);
            }
        }
        EXPECT_EQ(tabs.empty() ? 0 : *tabs.rbegin() + 1, static_cast<int>(tabs.size())) << w->name;
    }
    EXPECT_EQ(editor().inWindow(editor().control("Button6")), (Rect{484, 447, 85, 31}));
    EXPECT_EQ(spokenName(purchaseWindow().control("Button1")), "Buy Source Code");
}

TEST(WindowDesigns, EveryFixedTextColourReadsAtLeastFourAndAHalfToOne) {
    EXPECT_NEAR(contrast(colours::red, colours::face), 5.0, 0.05);
    EXPECT_NEAR(contrast({0xFF, 0, 0}, colours::face), 3.5, 0.05) << "why the red is darker than pure red";
    int checked = 0;
    for (const Window* w : kWindows) {
        for (const Control& c : w->controls) {
            if (!c.ink) continue;
            const Colour ground = c.face.value_or(w->face.value_or(colours::face));
            EXPECT_GE(contrast(*c.ink, ground), 4.5) << w->name << " " << c.name;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 8);
}

TEST(WindowDesigns, FittingFontShrinksUntilTheTextFits) {
    const struct {
        int pixels, width, perPixel, expected;
    } cases[] = {
        {18, 100, 5, 18},  // fits as designed
        {18, 78, 5, 15},   // the largest that fits
        {18, 10, 5, 6},    // never below 6
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fittingFont(c.pixels, c.width, [&](int px) { return px * c.perPixel; }), c.expected)
            << c.pixels << " in " << c.width;
    }
}

TEST(WindowDesigns, MemoLinesToFitDropTheBlanksAtTheirEnds) {
    EXPECT_EQ(linesToFit("a \nb\n\n c  "), (std::vector<std::string>{"a", "b", "", " c"}));
    const auto help = linesToFit(editor().control("Memo1").text);
    ASSERT_EQ(help.size(), 8u);
    EXPECT_EQ(help[2], "the");
}

TEST(WindowDesigns, HeadingKeepsItsCentreAndTakesTheWidthItsTextNeeds) {
    const Rect design{177, 2, 112, 20};
    EXPECT_EQ(centredHeading(design, 90), design);
    EXPECT_EQ(centredHeading(design, 130), (Rect{177 + 56 - 65, 2, 130, 20}));
}

}  // namespace

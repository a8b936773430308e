// Where the main window goes, with and without a notification area.
#include "core/desktop/tray_rules.h"

#include <gtest/gtest.h>

namespace {

using tb::TrayRules;
using W = TrayRules::Window;
using E = TrayRules::Event;

TEST(TrayRules, WindowStatesWithAndWithoutANotificationArea) {
    const struct {
        W from;
        E event;
        bool area;
        W to;
    } steps[] = {
        {W::Shown, E::Minimized, true, W::InTray},       {W::Shown, E::HideMainForm, true, W::InTray},
        {W::InTray, E::ShowMainForm, true, W::Shown},    {W::Minimized, E::ShowMainForm, true, W::Shown},
        {W::Shown, E::Minimized, false, W::Minimized},   {W::Shown, E::HideMainForm, false, W::Minimized},
        {W::Minimized, E::ShowMainForm, false, W::Shown}, {W::InTray, E::Minimized, true, W::InTray},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(TrayRules::next(s.from, s.event, s.area, true), s.to)
            << static_cast<int>(s.from) << " " << static_cast<int>(s.event) << " area " << s.area;
    }
    EXPECT_EQ(TrayRules::next(W::Shown, E::Minimized, true, false), W::Minimized);
}

TEST(TrayRules, ActivationsAndTheTooltip) {
    using A = TrayRules::Activation;
    using H = TrayRules::Handler;
    EXPECT_EQ(TrayRules::forActivation(A::DoubleClick, true, true), H::OnDblClick);
    EXPECT_EQ(TrayRules::forActivation(A::Click, true, true), H::OnClick);
    EXPECT_EQ(TrayRules::forActivation(A::Click, true, false), H::OnDblClick);  // a host without double clicks
    EXPECT_EQ(TrayRules::forActivation(A::DoubleClick, false, true), H::None);
    EXPECT_EQ(TrayRules::toolTip("TollbrookV1.01", true), "TollbrookV1.01");
    EXPECT_EQ(TrayRules::toolTip("TollbrookV1.01", false), "");
    const std::string long128 = std::string(126, 'x') + "\xE9\x93\x83" + "y";  // 128 characters
    EXPECT_EQ(TrayRules::toolTip(long128, true), std::string(126, 'x') + "\xE9\x93\x83");
}

}  // namespace

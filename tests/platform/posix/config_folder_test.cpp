#include "platform/posix/config_folder_posix.h"

#include <gtest/gtest.h>

namespace {

struct ConfigCase {
    const char* name;
    std::optional<std::string> xdgConfigHome;
    std::optional<std::string> home;
    std::optional<std::string> accountHome;
    const char* expected;
};

// An empty or relative XDG_CONFIG_HOME is to be ignored; without a home nothing is
// made up (not "/.config").
TEST(ConfigFolder, XdgConfigHomeWhenAbsoluteElseTheHomesConfig) {
    const ConfigCase cases[] = {
        {"absolute", "/home/ann/.cfg", "/home/ann", "/home/ann", "/home/ann/.cfg"},
        {"unset", std::nullopt, "/home/ann", "/home/bob", "/home/ann/.config"},
        {"empty", "", "/home/ann", std::nullopt, "/home/ann/.config"},
        {"relative", "cfg", "/home/ann", std::nullopt, "/home/ann/.config"},
        {"no HOME: the account's", std::nullopt, std::nullopt, "/root", "/root/.config"},
        {"relative HOME", std::nullopt, "ann", "/home/ann", "/home/ann/.config"},
        {"no home at all", std::nullopt, std::nullopt, std::nullopt, ""},
        {"empty HOME, no account", std::nullopt, "", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tb::configFolder(c.xdgConfigHome, c.home, c.accountHome), std::filesystem::path(c.expected))
            << c.name;
    }
}

}  // namespace

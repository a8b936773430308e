#include "platform/posix/config_folder_posix.h"

#include <gtest/gtest.h>

namespace {

struct ConfigCase {
    const char* name;
    std::optional<std::string> xdgConfigHome;
    std::optional<std::string> home;
    const char* expected;
};

// An empty or relative XDG_CONFIG_HOME is to be ignored.
TEST(ConfigFolder, XdgConfigHomeWhenAbsoluteElseHomesConfig) {
    const ConfigCase cases[] = {
        {"absolute", "/home/ann/.cfg", "/home/ann", "/home/ann/.cfg"},
        {"unset", std::nullopt, "/home/ann", "/home/ann/.config"},
        {"empty", "", "/home/ann", "/home/ann/.config"},
        {"relative", "cfg", "/home/ann", "/home/ann/.config"},
        {"no HOME either", std::nullopt, std::nullopt, "/.config"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tb::configFolder(c.xdgConfigHome, c.home), std::filesystem::path(c.expected)) << c.name;
    }
}

}  // namespace

// The handler wrapper and its error boxes, as every front end's handlers meet them.
#include "core/application.h"
#include "core/handler.h"
#include "tests/core/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace tb::test {
namespace {

using Shown = ScriptedDialogs::Shown;

TEST(ErrorBox, AddsFullStopOnlyAfterCharactersAboveIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"No such file", "No such file."},
        {"List index out of bounds (3)", "List index out of bounds (3)"},
        {"Done.", "Done."},
        {"quit?", "quit?."},
        {"ends in a blank ", "ends in a blank "},
        {"Failed to set data for 'x'", "Failed to set data for 'x'"},
        {"\xE6\x97\xB6", "\xE6\x97\xB6."},
        {"", ""},
    };
    for (const auto& [message, shown] : cases) EXPECT_EQ(errorBoxText(message), shown) << message;
}

class HandlerWrapper : public ::testing::Test {
protected:
    HandlerWrapper() {
        app.setTitle("Tollbrook");
        setErrorBoxApplication(&app);
    }
    ~HandlerWrapper() override {
        setErrorBoxApplication(nullptr);
        setErrorBoxClock({});
    }
    ScriptedDialogs dialogs;
    TApplication app;
};

TEST_F(HandlerWrapper, ErrorReachesTheErrorBoxAndEndsTheHandler) {
    bool after = false;
    runHandler([&] {
        throw std::runtime_error("Something failed");
        after = true;
    });
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, Shown::Error);
    EXPECT_EQ(dialogs.shown[0].text, "Something failed.");
    EXPECT_EQ(dialogs.shown[0].caption, "Tollbrook");
    EXPECT_FALSE(after);
}

TEST_F(HandlerWrapper, SilentAbortShowsNothing) {
    runHandler([] { throw SilentAbort(); });
    EXPECT_TRUE(dialogs.shown.empty());
}

// A failure that repeats while its box is open is counted in that box; another text
// still gets a box of its own.
TEST_F(HandlerWrapper, RepeatedFailureIsCountedInItsOpenBox) {
    setErrorBoxClock([] { return std::string("8:00:00"); });
    std::size_t deepest = 0;
    int inner = 0;
    dialogs.whileErrorShown = [&] {
        deepest = std::max(deepest, openErrorBoxes());
        if (inner++ > 0) return;  // inside the first box only
        for (int i = 0; i < 2; ++i) runHandler([] { throw std::runtime_error("The file cannot be found: /a.wav"); });
        runHandler([] { throw std::runtime_error("Other"); });
    };
    runHandler([] { throw std::runtime_error("The file cannot be found: /a.wav"); });
    EXPECT_EQ(dialogs.errors(), (std::vector<std::string>{"The file cannot be found: /a.wav.\n\n(3 times since 8:00:00)",
                                                          "Other."}));
    EXPECT_EQ(deepest, 2u);
    EXPECT_EQ(openErrorBoxes(), 0u);
}

}  // namespace
}  // namespace tb::test

// Every way Qt enters the program's code (a signal's handler, a close event, a change
// event, an event filter) ends in the error box when the code throws, and the program
// goes on: the same window takes the same events again.
#include "front-ends/qt/handlers.h"
#include "tests/core/scripted_dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <stdexcept>

namespace tb::test {
namespace {

class FailingWindow final : public QWidget {
public:
    bool failing = true;
    int closes = 0, changes = 0;

protected:
    void closeEvent(QCloseEvent*) override {
        ++closes;
        if (failing) throw std::runtime_error("close failed");
    }
    void changeEvent(QEvent* event) override {
        if (event->type() != QEvent::LocaleChange) return;
        ++changes;
        if (failing) throw std::runtime_error("change failed");
    }
};

TEST(EventWrapper, WhatHandlersThrowReachesTheErrorBoxAndTheProgramGoesOn) {
    ScriptedDialogs dialogs;
    FailingWindow window;
    auto* button = new QPushButton(&window);
    int clicks = 0;
    onSignal(button, &QPushButton::clicked, &window, [&] {
        ++clicks;
        throw std::runtime_error("click failed");
    });
    window.show();
    for (int round = 0; round < 2; ++round) {
        button->click();
        window.close();
        QEvent change(QEvent::LocaleChange);
        QApplication::sendEvent(&window, &change);
    }
    EXPECT_EQ(dialogs.errors(), (std::vector<std::string>{"click failed.", "close failed.", "change failed.",
                                                          "click failed.", "close failed.", "change failed."}));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(window.changes, 2);
    EXPECT_EQ(window.closes, 2);
    EXPECT_TRUE(window.isVisible()) << "a close that failed closed the window";
    window.failing = false;
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tb::test

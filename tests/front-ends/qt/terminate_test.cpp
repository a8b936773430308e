#include "front-ends/qt/dialog_service.h"
#include "core/application.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Ending the program leaves the running event loops, nested ones included. (This ends
// Qt's loops for the rest of the process, so it is the last test of its binary.)
TEST(ApplicationTerminate, LeavesTheRunningEventLoops) {
    tb::TApplication app;
    app.endLoop = tb::endQtLoops;  // as the program sets it
    bool innerLeft = false;
    QEventLoop outer;
    QTimer::singleShot(0, [&] {
        QEventLoop inner;
        QTimer::singleShot(0, [&] { app.Terminate(); });
        inner.exec();
        innerLeft = true;
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        outer.quit();
    });
    watchdog.start(5000);
    outer.exec();
    EXPECT_TRUE(app.Terminated());
    EXPECT_TRUE(innerLeft);
    EXPECT_FALSE(timedOut);
}

}  // namespace

#include "front-ends/qt/dialog_service.h"
#include "front-ends/qt/fonts.h"
#include "front-ends/qt/handlers.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// A window test that fails inside a dialog's event loop can wait there for ever; this
// ends the process with the test's name after a minute instead of letting the whole
// run sit until ctest's timeout.
class Watchdog final : public ::testing::EmptyTestEventListener {
public:
    static constexpr std::chrono::seconds kLimit{60};

    Watchdog() : thread_([this] { run(); }) {}
    ~Watchdog() override {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    void OnTestStart(const ::testing::TestInfo& test) override {
        std::lock_guard lock(mutex_);
        name_ = std::string(test.test_suite_name()) + "." + test.name();
        deadline_ = std::chrono::steady_clock::now() + kLimit;
        running_ = true;
        changed_.notify_all();
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::lock_guard lock(mutex_);
        running_ = false;
        changed_.notify_all();
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        while (!quit_) {
            if (!running_) {
                changed_.wait(lock);
                continue;
            }
            const auto deadline = deadline_;
            if (changed_.wait_until(lock, deadline, [&] { return quit_ || !running_ || deadline_ != deadline; })) {
                continue;
            }
            std::fprintf(stderr, "\n%s did not end within %lld s: stopped (is it waiting in a dialog?)\n",
                         name_.c_str(), static_cast<long long>(kLimit.count()));
            std::fflush(stderr);
            ::_exit(3);
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::string name_;
    std::chrono::steady_clock::time_point deadline_;
    bool running_ = false;
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
    // Windows are real widgets on Qt's offscreen platform unless a display is asked for.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    tb::QtApplication app(argc, argv);
    // Unless a test scripts them, dialogs are Qt's own, as in the program.
    tb::QtDialogService dialogs;
    tb::setDialogs(&dialogs);
    QApplication::setQuitOnLastWindowClosed(false);
    tb::installUiFonts();
    std::setlocale(LC_ALL, "C.UTF-8");
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    return RUN_ALL_TESTS();
}

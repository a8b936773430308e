#pragma once

#include "core/application.h"
#include "core/handler.h"
#include "core/desktop/autostart.h"
#include "front-ends/qt/tmediaplayer.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/schedule_fixture.h"
#include "tests/temp_dir.h"
#include "tests/core/fakes.h"
#include "tests/core/scripted_dialogs.h"
#include "front-ends/qt/tform1.h"
#include "platform/posix/autostart_posix.h"

#include <QListWidget>

#include <gtest/gtest.h>

#include <memory>

namespace tb::test {

// A main window on the offscreen platform, over a schedule folder of its own, a driven
// clock, a recording media layer and an autostart folder of its own.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        app.setTitle("Tollbrook");
        // Qt's exit would end every later event loop of this test process as well.
        app.endLoop = [] {};
        setErrorBoxApplication(&app);
        layer.trackModes = true;
    }
    ~MainWindowTest() override { setErrorBoxApplication(nullptr); }

    void writeSchedule(const std::vector<std::pair<std::string, std::string>>& entries) {
        test::writeSchedule(dir.path(), entries);
    }
    void writeSchedule() { writeSchedule({{"/m/a.mp3", "8:00:00"}, {"/m/b.mp3", "9:00:00"}}); }

    std::unique_ptr<TForm1> create() {
        auto form = std::make_unique<TForm1>(
            MainWindowServices{app, dir.path(), "/opt/tollbrook/tollbrook", locale, clock, layer, volume, autostart,
                               dialogs});
        runHandler([&] { form->FormCreate(); });
        return form;
    }
    static QStringList rows(const QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }

    ScriptedDialogs dialogs;
    FixedLocaleSource locale{LocaleSettings{}};  // 24-hour clock, no leading zero
    TApplication app;
    TempDir dir;
    TempDir config;
    FakeClock clock;
    RecordingLayer layer;
    RecordingVolume volume;
    XdgAutostart autostart{config / "autostart"};
};

}  // namespace tb::test

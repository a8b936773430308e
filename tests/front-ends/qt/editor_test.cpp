// The playlist editor on the offscreen platform: its commands, its files and its
// closing, and how the main window opens it.
#include "front-ends/qt/tmediaplayer.h"
#include "core/presenters/editor_design.h"
#include "core/schedule/schedule_file.h"
#include "tests/front-ends/qt/main_window_fixture.h"
#include "front-ends/qt/tform3.h"
#include "front-ends/qt/ttimer.h"

#include <QAction>
#include <QApplication>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace tb;
using namespace tb::mci;
using Shown = tb::test::ScriptedDialogs::Shown;

namespace {

class Editor : public test::MainWindowTest {
protected:
    Editor() {
        dir.write("a.wav", "RIFF");
        dir.write("b.wav", "RIFF");
    }
    std::string file(const std::string& name) const { return (dir / name).string(); }
    std::string line(const std::string& name, const std::string& time) const { return file(name) + "|" + time; }

    std::unique_ptr<TForm3> open(const LongTimeFormat& format) {
        auto editor = std::make_unique<TForm3>(
            TForm3Services{dir.path(), format, clock, layer, [this](std::size_t row) { removed.push_back(row); }});
        runHandler([&] { editor->FormCreate(); });
        return editor;
    }
    std::unique_ptr<TForm3> open() { return open(format24); }
    static std::vector<std::string> lines(const TForm3& editor) {
        std::vector<std::string> out;
        for (int i = 0; i < editor.controls().ListBox1->count(); ++i) out.push_back(editor.controls().ListBox1->item(i)->text().toStdString());
        return out;
    }
    static void setTime(TForm3& editor, int h, int m, int s) { editor.controls().DateTimePicker1->setTime(QTime(h, m, s)); }

    const LongTimeFormat format24{LocaleSettings{}};
    const LongTimeFormat format12{[] {
        LocaleSettings s;
        s.twelveHour = true;
        s.amString = "AM";
        s.pmString = "PM";
        return s;
    }()};
    std::vector<std::size_t> removed;
};

// The editor's widgets over its presenter: they show what it says and hand it their
// events. The rules themselves are tested on the presenter (tests/core/presenters/).
TEST_F(Editor, ControlsShowWhatThePresenterSaysAndForwardTheirEvents) {
    writeSchedule({{file("a.wav"), "8:00:00"}});
    clock.at(13, 5, 9);
    auto editor = open(format12);
    EXPECT_EQ(lines(*editor), (std::vector<std::string>{line("a.wav", "8:00:00")}));
    EXPECT_TRUE(editor->controls().Edit1->text().isEmpty());
    EXPECT_EQ(editor->controls().DateTimePicker1->time(), QTime(13, 5, 9));
    EXPECT_EQ(editor->controls().DateTimePicker1->displayFormat(), QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(editor->controls().LabelAMPM->text(), QStringLiteral("PM"));
    EXPECT_EQ(editor->controls().ListBox1->currentRow(), -1);
    EXPECT_EQ(editor->controls().Memo1->toPlainText(), QString::fromUtf8(design::editor().control("Memo1").text));
    EXPECT_EQ(editor->controls().MediaPlayer1->VisibleButtons(), kAllButtons);
    EXPECT_TRUE(editor->controls().MediaPlayer1->AutoEnable());

    setTime(*editor, 0, 30, 0);
    EXPECT_EQ(editor->controls().LabelAMPM->text(), QStringLiteral("AM"));
    editor->controls().ListBox1->setCurrentRow(0);
    editor->controls().Edit1->setText(QString::fromStdString(file("b.wav")));
    editor->controls().Button4->click();  // after the selected row, which stays selected
    EXPECT_EQ(lines(*editor), (std::vector<std::string>{line("a.wav", "8:00:00"), line("b.wav", "12:30:00 AM")}));
    EXPECT_EQ(editor->controls().ListBox1->currentRow(), 0);
    editor->controls().ListBox1->setCurrentRow(1);
    editor->controls().Button6->click();
    EXPECT_EQ(layer.last(Command::Open).params.element, file("b.wav"));
    editor->controls().Button1->click();
    EXPECT_EQ(removed, std::vector<std::size_t>{1});
    EXPECT_EQ(editor->controls().ListBox1->currentRow(), -1);
    EXPECT_TRUE(dialogs.shown.empty());
}

// The close box, Escape and the other ways of closing ask the presenter first.
TEST_F(Editor, CloseIsRefusedWhileTheSaveFails) {
    writeSchedule({{file("a.wav"), "8:00:00"}});
    auto editor = open();
    editor->show();
    std::filesystem::remove(dir / "qian.ini");
    std::filesystem::create_directory(dir / "qian.ini");  // the save cannot replace it
    dialogs.answers = {true};
    EXPECT_FALSE(editor->close()) << "a save that failed closed the editor";
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(dialogs.errors().size(), 1u);
    dialogs.answers = {false};
    editor->reject();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(dialogs.texts(Shown::Confirm).size(), 2u);
}

// The main window's edit command: a fresh editor, captioned, and the schedule
// reloaded from what it saved.
TEST_F(Editor, MainWindowOpensItAndReloadsWhatItSaved) {
    writeSchedule({{file("a.wav"), "8:00:00"}});
    auto form = create();
    QString caption, heading;
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<TForm3*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        caption = editor->windowTitle();
        heading = editor->controls().Label1->text();
        editor->controls().Edit1->setText(QString::fromStdString(file("b.wav")));
        editor->controls().DateTimePicker1->setTime(QTime(9, 30, 0));
        editor->Button2Click();
        dialogs.answers = {true};
        editor->close();
    });
    form->controls().N14->trigger();
    EXPECT_EQ(caption, QStringLiteral("Edit Playlist"));
    EXPECT_EQ(heading, QStringLiteral("Editable playlist"));
    EXPECT_EQ(form->ListBoxtime(), (std::vector<std::string>{"8:00:00", "9:30:00"}));
    EXPECT_EQ(form->controls().ListBox1->count(), 2);
    EXPECT_TRUE(form->controls().Timer1->Enabled());
}

}  // namespace

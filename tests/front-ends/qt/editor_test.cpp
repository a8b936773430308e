// The playlist editor on the offscreen platform: its commands, its files and its
// closing, and how the main window opens it.
#include "front-ends/qt/tmediaplayer.h"
#include "core/presenters/window_texts.h"
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
        for (int i = 0; i < editor.ListBox1->count(); ++i) out.push_back(editor.ListBox1->item(i)->text().toStdString());
        return out;
    }
    static void setTime(TForm3& editor, int h, int m, int s) { editor.DateTimePicker1->setTime(QTime(h, m, s)); }

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

TEST_F(Editor, OpensWithTheFileTheTimeAndAnEmptyPathBox) {
    writeSchedule({{file("a.wav"), "8:00:00"}});
    clock.at(13, 5, 9);
    auto editor = open(format12);
    EXPECT_EQ(lines(*editor), (std::vector<std::string>{line("a.wav", "8:00:00")}));
    EXPECT_TRUE(editor->Edit1->text().isEmpty());
    EXPECT_EQ(editor->DateTimePicker1->time(), QTime(13, 5, 9));
    EXPECT_EQ(editor->DateTimePicker1->displayFormat(), QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(editor->LabelAMPM->text(), QStringLiteral("PM"));
    EXPECT_EQ(editor->ListBox1->currentRow(), -1);
    std::vector<QString> help;
    for (const char* l : window_texts::kEditorHelpLines) help.push_back(QString::fromUtf8(l));
    EXPECT_EQ(editor->Memo1->toPlainText().split(QLatin1Char('\n')).size(), 8);
    EXPECT_EQ(help[2], QStringLiteral("the "));
}

TEST_F(Editor, UnreadablePlaylistOpensEmptyWithoutSettingTheTime) {
    clock.at(13, 5, 9);
    auto editor = open();
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_TRUE(dialogs.errors()[0].contains(QStringLiteral("playlist.ini")));
    EXPECT_EQ(editor->ListBox1->count(), 0);
    EXPECT_NE(editor->DateTimePicker1->time(), QTime(13, 5, 9));
}

TEST_F(Editor, AmPmLabelFollowsThePickerUnderATwelveHourClock) {
    writeSchedule({});
    auto editor = open(format12);
    const std::pair<QTime, const char*> cases[] = {{QTime(13, 0, 0), "PM"}, {QTime(0, 30, 0), "AM"}};
    for (const auto& [t, label] : cases) {
        editor->DateTimePicker1->setTime(t);
        EXPECT_EQ(editor->LabelAMPM->text(), QString::fromLatin1(label));
    }
    auto plain = open(format24);
    setTime(*plain, 13, 0, 0);
    EXPECT_TRUE(plain->LabelAMPM->text().isEmpty());
}

struct CommandCase {
    const char* name;
    int selected;                     // -1: none
    void (TForm3::*command)();
    std::vector<const char*> after;  // the rows by their file and time
    int selectedAfter;
};

TEST_F(Editor, CommandsFollowTheSelectionRules) {
    const CommandCase cases[] = {
        {"add with a row selected appends", 0, &TForm3::Button2Click, {"a 8", "b 9", "new"}, 0},
        {"insert goes after the selected row", 0, &TForm3::Button4Click, {"a 8", "new", "b 9"}, 0},
        {"insert without a selection goes to the top", -1, &TForm3::Button4Click, {"new", "a 8", "b 9"}, -1},
        {"update replaces the selected row", 1, &TForm3::Button7Click, {"a 8", "new"}, 1},
        {"update without a selection appends", -1, &TForm3::Button7Click, {"a 8", "b 9", "new"}, -1},
        {"delete takes the selected row", 0, &TForm3::Button1Click, {"b 9"}, -1},
        {"delete without a selection changes nothing", -1, &TForm3::Button1Click, {"a 8", "b 9"}, -1},
    };
    const std::map<std::string, std::string> rows = {
        {"a 8", line("a.wav", "8:00:00")}, {"b 9", line("b.wav", "9:00:00")}, {"new", line("b.wav", "10:30:00")}};
    for (const auto& c : cases) {
        writeSchedule({{file("a.wav"), "8:00:00"}, {file("b.wav"), "9:00:00"}});
        auto editor = open();
        editor->ListBox1->setCurrentRow(c.selected);
        editor->Edit1->setText(QString::fromStdString(file("b.wav")));
        setTime(*editor, 10, 30, 0);
        ((*editor).*c.command)();
        std::vector<std::string> want;
        for (const char* r : c.after) want.push_back(rows.at(r));
        EXPECT_EQ(lines(*editor), want) << c.name;
        EXPECT_EQ(editor->ListBox1->currentRow(), c.selectedAfter) << c.name;
    }
    EXPECT_EQ(removed, (std::vector<std::size_t>{0}));  // the delete also took row 0 from the main view
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Editor, PathThatCannotGoInChangesNothing) {
    dir.write("with|bar.wav", "RIFF");
    writeSchedule({{file("a.wav"), "8:00:00"}});
    auto editor = open();
    const std::pair<std::string, void (TForm3::*)()> missing[] = {
        {"file does not exist!Cannot be added!", &TForm3::Button2Click},
        {"file does not exist!Cannot be inserted!", &TForm3::Button4Click},
        {"File does not exist! Can not add!", &TForm3::Button7Click},
    };
    for (const auto& [text, command] : missing) {
        for (const std::string& path : {std::string(), file("gone.wav"), dir.path().string()}) {
            dialogs.shown.clear();
            editor->Edit1->setText(QString::fromStdString(path));
            ((*editor).*command)();
            ASSERT_EQ(dialogs.shown.size(), 1u) << text << " " << path;
            EXPECT_EQ(dialogs.shown[0].kind, Shown::Message);
            EXPECT_EQ(dialogs.shown[0].text, QString::fromStdString(text));
            EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Tollbrook"));
        }
    }
    // A bar in the path would split the line wrongly when the files are read.
    dialogs.shown.clear();
    editor->Edit1->setText(QString::fromStdString(file("with|bar.wav")));
    editor->Button2Click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("\"|\"")));
    EXPECT_EQ(lines(*editor).size(), 1u);
}

TEST_F(Editor, DoubleClickLoadsTheRowIntoTheFields) {
    writeSchedule({{file("a.wav"), "8:05:09 PM"}, {"", "no bar"}});
    auto editor = open(format12);
    setTime(*editor, 1, 0, 0);
    runHandler([&] { editor->ListBox1DblClick(); });  // nothing selected
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(dialogs.errors()[0], QStringLiteral("List index out of bounds (-1)"));
    editor->ListBox1->setCurrentRow(0);
    editor->ListBox1DblClick();
    EXPECT_EQ(editor->Edit1->text().toStdString(), file("a.wav"));
    EXPECT_EQ(editor->DateTimePicker1->time(), QTime(20, 5, 9));
    EXPECT_EQ(editor->LabelAMPM->text(), QStringLiteral("AM"));  // not refreshed by the double click
    editor->ListBox1->setCurrentRow(1);
    runHandler([&] { editor->ListBox1DblClick(); });
    ASSERT_EQ(dialogs.errors().size(), 2u);
    EXPECT_EQ(dialogs.errors()[1], QStringLiteral("''no bar'' is not a valid date and time."));
    EXPECT_TRUE(editor->Edit1->text().isEmpty());
    EXPECT_EQ(editor->DateTimePicker1->time(), QTime(20, 5, 9));
}

TEST_F(Editor, SaveWritesTheThreeFilesByteForByte) {
    // A path that is not valid UTF-8 goes back to the files as the bytes it was.
    const std::string latin1 = "/m/gr\xFC\xDF.mp3|8:00:00";
    dir.write("playlist.ini", latin1 + "\r\n/m/b.mp3|9:00:00\n");
    auto editor = open();
    editor->Button3Click();
    EXPECT_EQ(dialogs.texts(Shown::Message), (std::vector<QString>{QStringLiteral("Update success!")}));
    EXPECT_EQ(dir.read("playlist.ini"), latin1 + "\r\n/m/b.mp3|9:00:00\r\n");
    EXPECT_EQ(dir.read("qian.ini"), "/m/gr\xFC\xDF.mp3\r\n/m/b.mp3\r\n");
    EXPECT_EQ(dir.read("hou.ini"), "8:00:00\r\n9:00:00\r\n");

    editor->ListBox1->setCurrentRow(0);
    editor->Button1Click();
    editor->ListBox1->setCurrentRow(0);
    editor->Button1Click();
    editor->Button3Click();
    for (const char* name : {"playlist.ini", "qian.ini", "hou.ini"}) EXPECT_EQ(dir.read(name), "") << name;
}

TEST_F(Editor, PlayAndPreviewUseTheEditorsOwnPlayer) {
    writeSchedule({{file("gone.wav"), "8:00:00"}, {file("a.wav"), "9:00:00"}});
    auto editor = open();
    editor->Button6Click();  // nothing selected
    editor->ListBox1->setCurrentRow(0);
    editor->Button6Click();
    EXPECT_EQ(dialogs.texts(Shown::Message),
              (std::vector<QString>{QString::fromStdString(file("gone.wav")) + QStringLiteral("File does not exist, can not play!")}));
    editor->Edit1->setText(QString::fromStdString(file("gone.wav")));
    editor->SpeedButton2Click();  // silent
    EXPECT_EQ(layer.count(Command::Open), 0);
    editor->ListBox1->setCurrentRow(1);
    editor->Button6Click();
    EXPECT_EQ(layer.last(Command::Open).params.element, file("a.wav"));
    EXPECT_EQ(editor->MediaPlayer1->Mode(), mpPlaying);
    EXPECT_EQ(editor->MediaPlayer1->VisibleButtons(), kAllButtons);
    EXPECT_TRUE(editor->MediaPlayer1->AutoEnable());
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(Editor, ClosingAsksWhetherToSaveAndAFailedSaveKeepsItOpen) {
    writeSchedule({{file("a.wav"), "8:00:00"}});
    {
        auto editor = open();
        editor->show();
        editor->ListBox1->setCurrentRow(0);
        editor->Button1Click();
        dialogs.answers = {false};
        EXPECT_TRUE(editor->close());
        EXPECT_EQ(dialogs.texts(Shown::Confirm),
                  (std::vector<QString>{QStringLiteral("Do you have the changes you made before you quit?")}));
        EXPECT_EQ(dir.read("hou.ini"), "8:00:00\r\n");  // No saves nothing
    }
    auto editor = open();
    editor->show();
    std::filesystem::remove(dir / "qian.ini");
    std::filesystem::create_directory(dir / "qian.ini");  // the save cannot replace it
    dialogs.answers = {true};
    EXPECT_FALSE(editor->close()) << "a save that failed closed the editor";
    EXPECT_TRUE(editor->isVisible());
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_TRUE(dialogs.errors()[0].startsWith(QStringLiteral("Cannot create file")));
    std::filesystem::remove(dir / "qian.ini");
    dialogs.answers = {true};
    EXPECT_TRUE(editor->close());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(dialogs.texts(Shown::Message).back(), QStringLiteral("Update success!"));
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
        heading = editor->Label1->text();
        editor->Edit1->setText(QString::fromStdString(file("b.wav")));
        editor->DateTimePicker1->setTime(QTime(9, 30, 0));
        editor->Button2Click();
        dialogs.answers = {true};
        editor->close();
    });
    form->N14->trigger();
    EXPECT_EQ(caption, QStringLiteral("Edit Playlist"));
    EXPECT_EQ(heading, QStringLiteral("Editable playlist"));
    EXPECT_EQ(form->ListBoxtime(), (std::vector<std::string>{"8:00:00", "9:30:00"}));
    EXPECT_EQ(form->ListBox1->count(), 2);
    EXPECT_TRUE(form->Timer1->Enabled());
}

}  // namespace

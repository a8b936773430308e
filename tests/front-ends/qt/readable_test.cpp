// What a user sees and hears of the windows: every own text has a glyph in the fonts
// the program brings, the layouts hold their texts whole (at the scale the test runs
// at: QT_SCALE_FACTOR), fixed text colours keep their contrast in a dark palette,
// every control has an accessible name, the player's buttons are accessible children,
// and the keyboard reaches what the mouse does.
#include "core/presenters/editor_design.h"
#include "front-ends/qt/tmediaplayer.h"
#include "core/presenters/main_window_design.h"
#include "tests/front-ends/qt/main_window_fixture.h"
#include "front-ends/qt/dialog_service.h"
#include "front-ends/qt/fonts.h"
#include "front-ends/qt/tform3.h"
#include "front-ends/qt/tform4.h"
#include "front-ends/qt/text.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QDateTimeEdit>
#include <QFontInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRawFont>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

#include <cmath>
#include <set>
#include <cstdio>

using namespace tb;

namespace {

// The windows a user meets, built over one schedule.
class Readable : public test::MainWindowTest {
protected:
    Readable() {
        dir.write("a.wav", "RIFF");
        writeSchedule({{(dir / "a.wav").string(), "8:00:00"}, {"/m/b.mp3", "9:00:00"}});
    }
    void build() {
        form = create();
        editor = std::make_unique<TForm3>(TForm3Services{dir.path(), form->timeFormat(), clock, layer, {}});
        runHandler([&] { editor->FormCreate(); });
        editor->controls().Label1->setText(QStringLiteral("Editable playlist"));
        editor->setWindowTitle(QStringLiteral("Edit Playlist"));
        view = std::make_unique<TForm4>(std::vector<std::string>{});
        about = std::make_unique<TForm5>();
        buy = std::make_unique<TFormBuySourceCode>();
    }
    std::vector<QWidget*> windows() const { return {form.get(), editor.get(), view.get(), about.get(), buy.get()}; }
    static std::vector<QWidget*> widgets(QWidget* window) {
        std::vector<QWidget*> out{window};
        for (QWidget* w : window->findChildren<QWidget*>()) out.push_back(w);
        return out;
    }
    static std::string name(const QWidget* w) {
        return std::string(w->window()->metaObject()->className()) + " " + w->metaObject()->className() + " \"" +
               QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w))->text(QAccessible::Name).left(30).toStdString() +
               "\"";
    }

    std::unique_ptr<TForm1> form;
    std::unique_ptr<TForm3> editor;
    std::unique_ptr<TForm4> view;
    std::unique_ptr<TForm5> about;
    std::unique_ptr<TFormBuySourceCode> buy;
};

// The characters of `text` that no family of the font's chain has a glyph for; a
// family that is not installed stands for the font the system gives in its place.
QString missingGlyphs(const QFont& font, const QString& text) {
    QString missing;
    const QStringList chain = font.families().isEmpty() ? QStringList{font.family()} : font.families();
    for (const char32_t c : text.toUcs4()) {
        if (c == U' ' || c == U'&' || c == U'\n') continue;
        bool found = false;
        for (const QString& family : chain) {
            QFont single(font);
            single.setFamilies({family});
            if (QRawFont::fromFont(single).supportsCharacter(c)) {
                found = true;
                break;
            }
        }
        if (!found) missing += QString::fromUcs4(&c, 1);
    }
    return missing;
}

TEST_F(Readable, EveryOwnTextHasAGlyphInTheFontsThatShowIt) {
    build();
    std::vector<std::pair<QFont, QString>> texts;
    for (QWidget* window : windows()) {
        texts.emplace_back(QApplication::font(), window->windowTitle());
        for (QWidget* w : widgets(window)) {
            if (auto* l = qobject_cast<QLabel*>(w)) texts.emplace_back(l->font(), l->text());
            if (auto* b = qobject_cast<QAbstractButton*>(w)) texts.emplace_back(b->font(), b->text());
            if (auto* g = qobject_cast<QGroupBox*>(w)) texts.emplace_back(g->font(), g->title());
            if (auto* m = qobject_cast<QPlainTextEdit*>(w)) texts.emplace_back(m->font(), m->toPlainText());
            if (auto* m = qobject_cast<QMenu*>(w))
                for (QAction* a : m->actions()) texts.emplace_back(m->font(), a->text());
            if (auto* m = qobject_cast<QMenuBar*>(w))
                for (QAction* a : m->actions()) texts.emplace_back(m->font(), a->text());
        }
    }
    // The exit questions and the file dialogs' filters show in the application's font.
    runHandler([&] { form->N18Click(); });
    runHandler([&] { form->N17Click(); });
    ASSERT_EQ(dialogs.shown.size(), 2u);
    for (const auto& box : dialogs.shown) {
        texts.emplace_back(QApplication::font(), QString::fromStdString(box.text));
        texts.emplace_back(QApplication::font(), QString::fromStdString(box.caption));
    }
    EXPECT_NE(dialogs.shown[0].text.find("\uFF1F"), std::string::npos);
    for (const auto& filter : musicFileFilters()) texts.emplace_back(QApplication::font(), qtNameFilter(filter));

    int checked = 0;
    for (const auto& [font, text] : texts) {
        EXPECT_EQ(missingGlyphs(font, text).toStdString(), "") << text.toStdString() << " in " << font.toString().toStdString();
        checked += static_cast<int>(text.size());
    }
    EXPECT_GT(checked, 1000);
}

TEST_F(Readable, WindowFontsResolveToTheFontsTheLayoutsWereMadeFor) {
    build();
    for (QWidget* window : windows()) {
        for (QWidget* w : widgets(window)) {
            const QString first = w->font().families().value(0, w->font().family());
            if (first != QLatin1String("Tahoma") && first != QLatin1String("MS Sans Serif")) continue;
            QFont single(w->font());
            single.setFamilies({first});
            EXPECT_EQ(QRawFont::fromFont(single).familyName().toLower().toStdString(), "tahoma") << name(w);
        }
    }
}

TEST_F(Readable, TextsStayWholeAtThisScale) {
    build();
    editor->show();
    about->show();
    buy->show();
    view->show();
    QApplication::processEvents();
    std::printf("device pixel ratio %.2f memo %d x %d\n", editor->devicePixelRatioF(), editor->controls().Memo1->width(), editor->controls().Memo1->viewport()->width());

    // Each help line is one line of the memo, at the font it was laid out for.
    EXPECT_EQ(editor->controls().Memo1->font().pixelSize(), 18);
    QTextDocument* help = editor->controls().Memo1->document();
    ASSERT_EQ(help->blockCount(), 8);
    for (QTextBlock b = help->begin(); b.isValid(); b = b.next()) {
        help->documentLayout()->blockBoundingRect(b);
        EXPECT_EQ(b.layout()->lineCount(), 1) << b.text().toStdString();
    }
    // The labels keep their size and their whole text.
    for (QLabel* l : {editor->controls().Label2, editor->controls().Label7, editor->controls().Label1, view->controls().Label1, about->controls().Label1}) {
        EXPECT_LE(QFontMetrics(l->font()).horizontalAdvance(l->text()), l->width()) << l->text().toStdString();
    }
    EXPECT_EQ(editor->controls().Label2->font().pixelSize(), 14);
    EXPECT_EQ(editor->controls().Label7->font().pixelSize(), 14);
    // The about and purchase texts need no scroll bar.
    for (QPlainTextEdit* memo : {about->controls().Memo1, buy->controls().Memo1}) {
        EXPECT_EQ(memo->verticalScrollBar()->maximum(), 0) << memo->toPlainText().left(30).toStdString();
        EXPECT_EQ(memo->horizontalScrollBar()->maximum(), 0);
    }
}

// WCAG 2 contrast of two colours.
double luminance(const QColor& c) {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
double contrast(const QColor& a, const QColor& b) {
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// What a label or caption stands on: the first of it and its parents that fills its
// background.
QColor ground(const QWidget* w) {
    while (!w->autoFillBackground() && !w->isWindow()) w = w->parentWidget();
    return w->palette().color(w->backgroundRole());
}

QPalette darkPalette() {
    QPalette p;
    const QColor back(0x3f, 0x3f, 0x36), light(0xdc, 0xdc, 0xcc);
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::AlternateBase, QPalette::ToolTipBase})
        p.setColor(role, back);
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::ToolTipText,
                      QPalette::BrightText, QPalette::PlaceholderText})
        p.setColor(role, light);
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x60, 0x99));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Light, QColor(0x5a, 0x5a, 0x50));
    p.setColor(QPalette::Dark, QColor(0x22, 0x22, 0x1e));
    return p;
}

struct PaletteCase {
    const char* name;
    QPalette palette;
};
void PrintTo(const PaletteCase& c, std::ostream* os) { *os << c.name; }

class Contrast : public Readable, public ::testing::WithParamInterface<PaletteCase> {};

TEST_P(Contrast, EveryTextReadsAtLeastFourAndAHalfToOne) {
    const QPalette before = QApplication::palette();
    QApplication::setPalette(GetParam().palette);
    build();
    int checked = 0;
    auto check = [&](const QWidget* w, const char* what, const QColor& text, const QColor& back) {
        const double ratio = contrast(text, back);
        std::printf("%-6s %5.2f:1  %s on %s  %s %s\n", GetParam().name, ratio, qPrintable(text.name()),
                    qPrintable(back.name()), name(w).c_str(), what);
        EXPECT_GE(ratio, 4.5) << name(w) << " " << what;
        ++checked;
    };
    for (QWidget* window : windows()) {
        for (QWidget* w : widgets(window)) {
            const QPalette& p = w->palette();
            if (qobject_cast<QLabel*>(w) || qobject_cast<QGroupBox*>(w)) {
                check(w, "text", p.color(QPalette::WindowText), ground(w));
            } else if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
                check(w, "text", p.color(QPalette::Text), area->viewport()->palette().color(area->viewport()->backgroundRole()));
            } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w)) {
                check(w, "text", p.color(QPalette::Text), p.color(QPalette::Base));
            } else if (qobject_cast<QAbstractButton*>(w)) {
                check(w, "caption", p.color(QPalette::ButtonText), p.color(QPalette::Button));
            }
        }
    }
    QApplication::setPalette(before);
    EXPECT_GT(checked, 30);
}

// The selected row as the list really draws it: its text's darkest (or lightest) pixel
// against the row's ground, as a bell leaves it selected.
TEST_P(Contrast, SelectedRowReadsAtLeastFourAndAHalfToOne) {
    const QPalette before = QApplication::palette();
    QApplication::setPalette(GetParam().palette);
    build();
    QListWidget* list = form->controls().ListBox1;
    form->show();
    list->setCurrentRow(0);
    const QRect row = list->visualItemRect(list->item(0));
    const QImage image = list->viewport()->grab(row).toImage();
    QApplication::setPalette(before);
    const QColor back = image.pixelColor(image.width() - 3, image.height() / 2);
    double ratio = 1;
    for (int y = 2; y < image.height() - 2; ++y)  // inside the focus frame
        for (int x = 3; x < image.width() / 2; ++x) ratio = std::max(ratio, contrast(image.pixelColor(x, y), back));
    std::printf("%-6s selected row %5.2f:1 on %s\n", GetParam().name, ratio, qPrintable(back.name()));
    EXPECT_GE(ratio, 4.5);
}

INSTANTIATE_TEST_SUITE_P(Palettes, Contrast,
                         ::testing::Values(PaletteCase{"light", QPalette(QColor(0xF0, 0xF0, 0xF0))},
                                           PaletteCase{"dark", darkPalette()}),
                         [](const auto& test) { return std::string(test.param.name); });

// The widgets a user operates.
bool isControl(const QWidget* w) {
    // Qt's own helpers (the menu bar's overflow button) are Qt's business.
    if (qobject_cast<const QScrollBar*>(w) || w->objectName().startsWith(QLatin1String("qt_"))) return false;
    if (qobject_cast<const QLineEdit*>(w) && qobject_cast<const QAbstractSpinBox*>(w->parentWidget())) return false;
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const TMediaPlayer*>(w);
}

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The editor and the small windows as their designs say: each control at its place
// (the view's heading by its centring rule), with its accessible name, and its hint as
// tooltip and accessible description.
TEST_F(Readable, ControlsStandWhereTheirDesignsPutThemNamedAsTheySay) {
    build();
    const std::pair<QWidget*, const design::Window*> designed[] = {{editor.get(), &design::editor()},
                                                                  {view.get(), &design::viewWindow()},
                                                                  {about.get(), &design::aboutWindow()},
                                                                  {buy.get(), &design::purchaseWindow()}};
    for (const auto& [window, d] : designed) {
        const int dpi = d->dpi;
        auto px = [dpi](int v) { return (v * 96 + dpi / 2) / dpi; };
        EXPECT_EQ(window->size(), QSize(px(d->width), px(d->height))) << d->name;
        for (const design::Control& c : d->controls) {
            auto* w = window->findChild<QWidget*>(q(c.name));
            ASSERT_NE(w, nullptr) << d->name << " " << c.name;
            const std::string where = std::string(d->name) + " " + std::string(c.name);
            const design::Rect r = window == view.get() && c.name == "Label1"
                                       ? design::centredHeading(c.rect, w->sizeHint().width())
                                       : c.rect;
            if (!c.fill) {
                EXPECT_EQ(w->pos(), QPoint(px(r.x), px(r.y))) << where;
            }
            if (r.width != 0) {
                EXPECT_EQ(w->width(), px(r.width)) << where;
            }
            if (r.height != 0) {
                EXPECT_EQ(w->height(), px(r.height)) << where;
            }
            EXPECT_EQ(w->toolTip(), q(c.hint)) << where;
            EXPECT_EQ(w->accessibleDescription(), q(c.hint)) << where;
            if (c.kind != design::Kind::Label && c.kind != design::Kind::Panel && c.kind != design::Kind::GroupBox) {
                EXPECT_EQ(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name), q(design::spokenName(c)))
                    << where;
            }
        }
    }
}

// Every control a user operates has a name, and no two in a window share one (the
// player's buttons counted as controls of their own).
TEST_F(Readable, EveryControlHasAnAccessibleNameOfItsOwn) {
    build();
    int controls = 0;
    for (QWidget* window : windows()) {
        std::set<QString> names;
        auto add = [&](QAccessibleInterface* a, const QWidget* w) {
            ASSERT_NE(a, nullptr) << name(w);
            const QString n = a->text(QAccessible::Name).trimmed();
            EXPECT_FALSE(n.isEmpty()) << name(w);
            if (window != form.get()) {  // the main window is named by its own design
                EXPECT_TRUE(names.insert(n).second) << "a second \"" << n.toStdString() << "\" in " << name(w);
            }
        };
        for (QWidget* w : widgets(window)) {
            if (!isControl(w)) continue;
            ++controls;
            add(QAccessible::queryAccessibleInterface(w), w);
            if (qobject_cast<TMediaPlayer*>(w) != nullptr) {
                QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(w);
                for (int i = 0; i < bar->childCount(); ++i) add(bar->child(i), w);
            }
        }
    }
    EXPECT_GE(controls, 25);
    for (const design::Control& c : design::mainWindow().controls) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(form->controls().byName.at(c.name));
        EXPECT_EQ(a->text(QAccessible::Name).toStdString(), c.accessibleName);
        EXPECT_EQ(a->text(QAccessible::Description).toStdString(), c.hint) << c.name;
    }
}

// A player's buttons as a screen reader sees them: name, and whether it can be pressed.
std::vector<std::pair<std::string, bool>> accessibleButtons(TMediaPlayer* player) {
    std::vector<std::pair<std::string, bool>> out;
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(player);
    for (int i = 0; i < bar->childCount(); ++i) {
        QAccessibleInterface* b = bar->child(i);
        EXPECT_EQ(b->role(), QAccessible::PushButton);
        EXPECT_EQ(b->parent(), bar);
        EXPECT_EQ(bar->indexOfChild(b), i);
        out.emplace_back(b->text(QAccessible::Name).toStdString(), !b->state().disabled);
    }
    return out;
}

TEST_F(Readable, PlayerButtonsAreAccessibleChildrenWithTheirState) {
    build();
    // The player is named for what it is; its hint describes it.
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(form->controls().MediaPlayer1);
    EXPECT_EQ(bar->text(QAccessible::Name).toStdString(), "Player");
    EXPECT_EQ(bar->text(QAccessible::Description), form->controls().MediaPlayer1->toolTip());
    EXPECT_FALSE(form->controls().MediaPlayer1->toolTip().isEmpty());
    EXPECT_EQ(bar->role(), QAccessible::ToolBar);
    using Buttons = std::vector<std::pair<std::string, bool>>;
    // After the creation step only Play can be pressed.
    EXPECT_EQ(accessibleButtons(form->controls().MediaPlayer1),
              (Buttons{{std::string("Play"), true}, {std::string("Pause"), false}, {std::string("Stop"), false}, {std::string("Next"), false},
                       {std::string("Previous"), false}, {std::string("Step"), false}, {std::string("Back"), false}}));
    form->controls().MediaPlayer1->setEnabledButtons({btPause, btStop});
    EXPECT_EQ(accessibleButtons(form->controls().MediaPlayer1)[1], (std::pair<std::string, bool>{"Pause", true}));
    EXPECT_EQ(accessibleButtons(form->controls().MediaPlayer1)[0], (std::pair<std::string, bool>{"Play", false}));
    TMediaPlayer& player = *form->controls().MediaPlayer1;
    player.mouseDown(player.buttonLeft(btPause) + 3);  // held down: pressed
    EXPECT_TRUE(bar->child(1)->state().pressed);
    EXPECT_FALSE(bar->child(2)->state().pressed);
    player.mouseMove(-1, -1);
    player.mouseUp();
    EXPECT_FALSE(bar->child(1)->state().pressed);

    // The editor's player shows all nine; pressing Play through the interface runs the
    // press Space gives: with no file open, the device's error.
    ASSERT_EQ(accessibleButtons(editor->controls().MediaPlayer1).size(), 9u);
    EXPECT_EQ(accessibleButtons(editor->controls().MediaPlayer1)[8].first, "Eject");
    QAccessibleInterface* play = QAccessible::queryAccessibleInterface(editor->controls().MediaPlayer1)->child(0);
    ASSERT_NE(play->actionInterface(), nullptr);
    ASSERT_TRUE(play->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    play->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(dialogs.errors().empty()) << "the press waits for the event loop, not inside the screen reader's call";
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(dialogs.errors()[0], "No MCI device open.");
}

void press(QWidget* w, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
}

TEST_F(Readable, EnterOnARowDoesWhatADoubleClickDoes) {
    build();
    form->controls().ListBox1->setCurrentRow(1);
    press(form->controls().ListBox1, Qt::Key_Return);
    EXPECT_EQ(form->statusText().toStdString(), "A repertoire is being inserted:/m/b.mp3");

    editor->controls().ListBox1->setCurrentRow(0);
    press(editor->controls().ListBox1, Qt::Key_Enter);
    EXPECT_EQ(editor->controls().Edit1->text(), qtext((dir / "a.wav").string()));
    EXPECT_EQ(editor->controls().DateTimePicker1->time(), QTime(8, 0, 0));
    EXPECT_TRUE(dialogs.errors().empty());
}

TEST_F(Readable, EscapeClosesTheViewAndAboutWindowsAndTheHelpIsNoTabStop) {
    build();
    // Pressed in the control that has the focus, which leaves Escape to its window.
    for (QWidget* w : {static_cast<QWidget*>(view->controls().ListBox1), static_cast<QWidget*>(about->controls().Memo1)}) {
        w->window()->show();
        press(w, Qt::Key_Escape);
        EXPECT_FALSE(w->window()->isVisible()) << w->window()->windowTitle().toStdString();
    }
    EXPECT_EQ(editor->controls().Memo1->focusPolicy(), Qt::NoFocus);
}

}  // namespace

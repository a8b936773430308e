#include "front-ends/qt/tform3.h"

#include "front-ends/qt/handlers.h"
#include "front-ends/qt/placement.h"
#include "core/presenters/window_texts.h"
#include "front-ends/qt/tmediaplayer.h"
#include "front-ends/qt/colours.h"
#include "front-ends/qt/fonts.h"
#include "front-ends/qt/keys.h"
#include "front-ends/qt/text.h"

#include <QCloseEvent>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace tb {
namespace {

// The editor is laid out at 120 pixels per inch; Qt's units are those of 96.
int at96(int designPixels) { return (designPixels * 96 + 60) / 120; }
QRect designRect(int x, int y, int w, int h) { return {at96(x), at96(y), at96(w), at96(h)}; }
QFont tahoma(int designPixels) { return uiFont("Tahoma", at96(designPixels)); }

}  // namespace

TForm3::TForm3(TForm3Services services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services)) {
    setModal(true);
    setFont(tahoma(15));
    buildLayout();
    presenter_ = std::make_unique<EditorPresenter>(
        EditorServices{services_.folder, services_.format, services_.clock, dialogs(), applicationTitle(),
                       services_.removeViewRow},
        *this, *MediaPlayer1);
}

TForm3::~TForm3() = default;

void TForm3::buildLayout() {
    setFixedSize(at96(988), at96(519));
    // The labels stand on the window's face.
    lightFace(this);
    auto blue = [](QLabel* l) { textColour(l, colours::blue); };

    Label2 = new QLabel(QStringLiteral("Music File"), this);
    Label2->setFont(tahoma(18));
    Label2->move(at96(5), at96(5));
    fitText(Label2, at96(85 - 5 - 2));
    blue(Label2);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setGeometry(designRect(85, 3, 28, 26));
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    SpeedButton1->setToolTip(QStringLiteral("Find music files"));
    SpeedButton1->setAccessibleName(SpeedButton1->toolTip());
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(at96(115), at96(5), at96(550), Edit1->sizeHint().height());
    Edit1->setFont(tahoma(15));
    Edit1->setAccessibleName(Label2->text());
    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setGeometry(designRect(667, 5, 29, 27));
    SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    SpeedButton2->setToolTip(QStringLiteral("Play music files"));
    SpeedButton2->setAccessibleName(SpeedButton2->toolTip());
    Label7 = new QLabel(QStringLiteral("Playback time"), this);
    Label7->setFont(tahoma(18));
    Label7->move(at96(706), at96(6));
    fitText(Label7, at96(818 - 706 - 2));
    blue(Label7);
    DateTimePicker1 = new QDateTimeEdit(this);
    DateTimePicker1->setGeometry(designRect(818, 3, 114, 32));
    // Hours, minutes and seconds on the 24-hour clock, whatever the regional settings.
    DateTimePicker1->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    DateTimePicker1->setAccessibleName(Label7->text());
    LabelAMPM = new QLabel(this);
    LabelAMPM->setGeometry(at96(933), at96(7), at96(50), at96(24));

    Label1 = new QLabel(this);
    Label1->setGeometry(designRect(5, 38, 301, 18));
    Label1->setFont(tahoma(15));
    textColour(Label1, colours::red);
    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(designRect(0, 59, 469, 459));
    ListBox1->setFont(tahoma(15));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setAccessibleName(QStringLiteral("Editable playlist"));

    auto* panel = new QWidget(this);
    panel->setGeometry(designRect(476, 59, 101, 459));
    auto button = [&](const char* text, int top) {
        auto* b = new QPushButton(QString::fromUtf8(text), panel);
        b->setGeometry(designRect(8, top, 85, 31));
        b->setAutoDefault(false);
        return b;
    };
    Button2 = button("&Add", 10);
    Button4 = button("&Insert", 59);
    Button7 = button("&Update", 109);
    Button1 = button("&Delete", 159);
    Button3 = button("&Save", 210);
    Button5 = button("&Close", 263);
    Button6 = button("Play", 388);

    GroupBox1 = new QGroupBox(QStringLiteral("Explain"), this);
    GroupBox1->setGeometry(designRect(584, 49, 394, 469));
    textColour(GroupBox1, colours::navy);
    QStringList help;
    for (const char* line : window_texts::kEditorHelpLines) help << QString::fromUtf8(line);
    Memo1 = new QPlainTextEdit(help.join(QLatin1Char('\n')), GroupBox1);
    Memo1->setGeometry(GroupBox1->contentsRect());
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFont(tahoma(22));
    Memo1->setAccessibleName(GroupBox1->title());
    Memo1->setFocusPolicy(Qt::NoFocus);
    fixColours(Memo1, QPalette::Text, colours::navy, QPalette::Base, colours::face);
    // An edit control's own narrow margin: the help lines were laid out to the memo's width.
    Memo1->document()->setDocumentMargin(2);
    fitLines(Memo1);

    // The preview player keeps every default: nine buttons, enabled by the device.
    MediaPlayer1 = new TMediaPlayer(services_.media, GroupBox1);
    MediaPlayer1->setGeometry(designRect(39, 368, 316, 37));
    MediaPlayer1->raise();
    MediaPlayer1->setAccessibleName(QStringLiteral("Player"));

    auto handle = [this](auto* sender, auto signal, void (TForm3::*method)()) {
        onSignal(sender, signal, this, [this, method] { (this->*method)(); });
    };
    handle(Button2, &QPushButton::clicked, &TForm3::Button2Click);
    handle(Button4, &QPushButton::clicked, &TForm3::Button4Click);
    handle(Button7, &QPushButton::clicked, &TForm3::Button7Click);
    handle(Button1, &QPushButton::clicked, &TForm3::Button1Click);
    handle(Button3, &QPushButton::clicked, &TForm3::Button3Click);
    handle(Button6, &QPushButton::clicked, &TForm3::Button6Click);
    handle(SpeedButton1, &QToolButton::clicked, &TForm3::SpeedButton1Click);
    handle(SpeedButton2, &QToolButton::clicked, &TForm3::SpeedButton2Click);
    handle(DateTimePicker1, &QDateTimeEdit::dateTimeChanged, &TForm3::DateTimePicker1Change);
    connect(Button5, &QPushButton::clicked, this, &QWidget::close);
    connect(ListBox1, &QListWidget::currentRowChanged, this,
            [this](int row) { presenter_->selectRow(row >= 0 ? std::optional<std::size_t>(row) : std::nullopt); });
    ListBox1->viewport()->installEventFilter(this);
    new KeyAction(ListBox1, {Qt::Key_Return, Qt::Key_Enter}, [this] { ListBox1EnterPressed(); });
}

void TForm3::showLines(const std::vector<std::string>& lines, std::optional<std::size_t> selected) {
    const QSignalBlocker quiet(ListBox1);
    ListBox1->clear();
    for (const auto& line : lines) ListBox1->addItem(qtext(line));
    if (selected) {
        ListBox1->setCurrentRow(static_cast<int>(*selected));
    } else {
        ListBox1->setCurrentRow(-1);
        ListBox1->clearSelection();
    }
}

std::string TForm3::pathBoxText() const { return bytes(Edit1->text()); }

void TForm3::setPathBoxText(const std::string& text) { Edit1->setText(qtext(text)); }

TimeOfDay TForm3::pickerTime() const {
    const QTime t = DateTimePicker1->time();
    return TimeOfDay{t.hour(), t.minute(), t.second(), t.msec()};
}

void TForm3::setPickerTime(const TimeOfDay& time) {
    const QSignalBlocker quiet(DateTimePicker1);
    DateTimePicker1->setTime(QTime(time.hour, time.minute, time.second));
}

void TForm3::setPickerToToday(const TimeOfDay& time) {
    const QSignalBlocker quiet(DateTimePicker1);
    DateTimePicker1->setDateTime(QDateTime(QDate::currentDate(), QTime(time.hour, time.minute, time.second)));
}

void TForm3::setAmPmLabel(const std::string& text) { LabelAMPM->setText(qtext(text)); }

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    // A double click anywhere in the list, below the rows too.
    if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ListBox1DblClick();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::closeEvent(QCloseEvent* event) { event->setAccepted(presenter_->closeRequested()); }

void TForm3::setCaption(const std::string& text) { setWindowTitle(qtext(text)); }

void TForm3::setLabel1(const std::string& text) { Label1->setText(qtext(text)); }

void TForm3::ShowModal() {
    centreOver(*this, parentWidget());
    exec();
}

}  // namespace tb

#include "front-ends/qt/tform3.h"

#include "front-ends/qt/handlers.h"
#include "front-ends/qt/placement.h"
#include "core/presenters/editor_design.h"
#include "front-ends/qt/tmediaplayer.h"
#include "front-ends/qt/designed_window.h"
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

TForm3::TForm3(TForm3Services services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services)) {
    setModal(true);
    c_ = buildLayout();
    c_.ListBox1->viewport()->installEventFilter(this);
    presenter_ = std::make_unique<EditorPresenter>(
        EditorServices{services_.folder, services_.format, services_.clock, dialogs(), applicationTitle(),
                       services_.removeViewRow},
        *this, *c_.MediaPlayer1);
}

TForm3::~TForm3() = default;

TForm3::Controls TForm3::buildLayout() {
    const design::Window& design = design::editor();
    const DesignedWidgets made(*this, design, [this](const design::Control&, QWidget* parent) {
        return new TMediaPlayer(services_.media, parent);
    });
    Controls c{made.get<QLabel>("Label1"), made.get<QLabel>("Label2"), made.get<QLabel>("Label7"),
               made.get<QLabel>("LabelAMPM"), made.get<QLineEdit>("Edit1"), made.get<QToolButton>("SpeedButton1"),
               made.get<QToolButton>("SpeedButton2"), made.get<QDateTimeEdit>("DateTimePicker1"),
               made.get<QListWidget>("ListBox1"), made.get<QPushButton>("Button2"), made.get<QPushButton>("Button4"),
               made.get<QPushButton>("Button7"), made.get<QPushButton>("Button1"), made.get<QPushButton>("Button3"),
               made.get<QPushButton>("Button5"), made.get<QPushButton>("Button6"), made.get<QGroupBox>("GroupBox1"),
               made.get<QPlainTextEdit>("Memo1"), made.get<TMediaPlayer>("MediaPlayer1")};

    // The labels' fonts shrink where the stand-in fonts are wider than the design's.
    for (QLabel* l : {c.Label2, c.Label7}) {
        l->setFont(fitting(l->font(), {l->text()}, l->width()));
        l->resize(l->width(), l->sizeHint().height());
    }
    c.SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    c.SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    // An edit control's own narrow margin: the help lines were laid out to the memo's
    // width, and none may wrap.
    c.Memo1->document()->setDocumentMargin(2);
    QStringList lines;
    for (const auto& line : design::linesToFit(design.control("Memo1").text)) lines << qtext(line);
    c.Memo1->setFont(fitting(c.Memo1->font(), lines, c.Memo1->width() - 2 * c.Memo1->frameWidth() - 2 * 2 - 1));
    c.MediaPlayer1->raise();

    auto handle = [this](auto* sender, auto signal, void (TForm3::*method)()) {
        onSignal(sender, signal, this, [this, method] { (this->*method)(); });
    };
    handle(c.Button2, &QPushButton::clicked, &TForm3::Button2Click);
    handle(c.Button4, &QPushButton::clicked, &TForm3::Button4Click);
    handle(c.Button7, &QPushButton::clicked, &TForm3::Button7Click);
    handle(c.Button1, &QPushButton::clicked, &TForm3::Button1Click);
    handle(c.Button3, &QPushButton::clicked, &TForm3::Button3Click);
    handle(c.Button6, &QPushButton::clicked, &TForm3::Button6Click);
    handle(c.SpeedButton1, &QToolButton::clicked, &TForm3::SpeedButton1Click);
    handle(c.SpeedButton2, &QToolButton::clicked, &TForm3::SpeedButton2Click);
    handle(c.DateTimePicker1, &QDateTimeEdit::dateTimeChanged, &TForm3::DateTimePicker1Change);
    connect(c.Button5, &QPushButton::clicked, this, &QWidget::close);
    connect(c.ListBox1, &QListWidget::currentRowChanged, this,
            [this](int row) { presenter_->selectRow(row >= 0 ? std::optional<std::size_t>(row) : std::nullopt); });
    new KeyAction(c.ListBox1, {Qt::Key_Return, Qt::Key_Enter}, [this] { ListBox1EnterPressed(); });
    return c;
}

void TForm3::setLabel1(const std::string& text) { c_.Label1->setText(qtext(text)); }

void TForm3::showLines(const std::vector<std::string>& lines, std::optional<std::size_t> selected) {
    const QSignalBlocker quiet(c_.ListBox1);
    c_.ListBox1->clear();
    for (const auto& line : lines) c_.ListBox1->addItem(qtext(line));
    if (selected) {
        c_.ListBox1->setCurrentRow(static_cast<int>(*selected));
    } else {
        c_.ListBox1->setCurrentRow(-1);
        c_.ListBox1->clearSelection();
    }
}

std::string TForm3::pathBoxText() const { return bytes(c_.Edit1->text()); }

void TForm3::setPathBoxText(const std::string& text) { c_.Edit1->setText(qtext(text)); }

TimeOfDay TForm3::pickerTime() const {
    const QTime t = c_.DateTimePicker1->time();
    return TimeOfDay{t.hour(), t.minute(), t.second(), t.msec()};
}

void TForm3::setPickerTime(const TimeOfDay& time) {
    const QSignalBlocker quiet(c_.DateTimePicker1);
    c_.DateTimePicker1->setTime(QTime(time.hour, time.minute, time.second));
}

void TForm3::setPickerToToday(const TimeOfDay& time) {
    const QSignalBlocker quiet(c_.DateTimePicker1);
    c_.DateTimePicker1->setDateTime(QDateTime(QDate::currentDate(), QTime(time.hour, time.minute, time.second)));
}

void TForm3::setAmPmLabel(const std::string& text) { c_.LabelAMPM->setText(qtext(text)); }

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    // A double click anywhere in the list, below the rows too.
    if (watched == c_.ListBox1->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ListBox1DblClick();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::closeEvent(QCloseEvent* event) { event->setAccepted(presenter_->closeRequested()); }

void TForm3::setCaption(const std::string& text) { setWindowTitle(qtext(text)); }


void TForm3::ShowModal() {
    centreOver(*this, parentWidget());
    exec();
}

}  // namespace tb

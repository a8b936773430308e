#include "front-ends/qt/tform4.h"

#include "core/presenters/window_texts.h"
#include "front-ends/qt/colours.h"
#include "front-ends/qt/fonts.h"
#include "front-ends/qt/keys.h"

#include <QDesktopServices>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

#include <algorithm>

namespace tb {
namespace {

QFont tahoma(int pixels, bool bold = false) { return uiFont("Tahoma", pixels, bold); }

constexpr Qt::WindowFlags kToolWindow = Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                        Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint;

// Escape closes the window, as its close box does.
void closeOnEscape(QWidget* window) {
    new KeyAction(window, {Qt::Key_Escape}, [window] { window->close(); });
}

}  // namespace

TForm4::TForm4(QWidget* parent) : QWidget(parent, kToolWindow) {
    setWindowTitle(QStringLiteral("Existing repertoire view"));
    setFont(tahoma(13));
    setFixedSize(445, 421);
    lightFace(this);
    closeOnEscape(this);
    Label1 = new QLabel(QStringLiteral("Existing repertoire"), this);
    Label1->setFont(tahoma(16));
    // Laid out at 177,2 and 112 wide, narrower than its text in Tahoma 16 px: the
    // heading keeps its centre and takes the width its text needs.
    const int width = std::max(112, Label1->sizeHint().width());
    Label1->setGeometry(177 + 56 - width / 2, 2, width, 20);
    textColour(Label1, colours::red);
    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(0, 421 - 397, 445, 397);
    ListBox1->setFont(tahoma(12));
    fixColours(ListBox1, QPalette::Text, colours::blue, QPalette::Base, colours::white);
    ListBox1->setAccessibleName(Label1->text());
}

TForm5::TForm5(QWidget* parent) : QWidget(parent, kToolWindow) {
    setWindowTitle(QStringLiteral("About software"));
    setFont(tahoma(16));
    setFixedSize(522, 359);
    // The highlight-text colour of the light palette the window was made in: white.
    lightFace(this, colours::white);
    closeOnEscape(this);
    Label1 = new QLabel(QStringLiteral("Tollbrook"), this);
    Label1->setGeometry(25, 19, 460, 33);
    Label1->setFont(tahoma(19, true));
    textColour(Label1, colours::red);
    Memo1 = new QPlainTextEdit(QString::fromUtf8(window_texts::kAboutDescription), this);
    Memo1->setGeometry(0, 359 - 293, 522, 293);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setAccessibleName(windowTitle());
}

TFormBuySourceCode::TFormBuySourceCode(QWidget* parent) : QDialog(parent, kToolWindow & ~Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Buy Source Code"));
    setFont(tahoma(13));
    setFixedSize(447, 141);
    Memo1 = new QPlainTextEdit(QString::fromUtf8(window_texts::kPurchaseNote), this);
    Memo1->setGeometry(0, 0, 447, 41);
    Memo1->setFont(tahoma(16));
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setReadOnly(true);
    Memo1->setBackgroundRole(QPalette::Window);
    Memo1->setAccessibleName(windowTitle());
    // Two lines of 16 pixels fill the 41 pixels; a margin would push the second out.
    Memo1->document()->setDocumentMargin(0);
    Button1 = new QPushButton(QStringLiteral("&Buy Source Code"), this);
    Button1->setGeometry(152, 64, 121, 25);
    // Whatever the desktop does with the address is its own business.
    connect(Button1, &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(window_texts::kPurchaseAddress))); });
}

}  // namespace tb

#include "front-ends/qt/tform4.h"

#include "core/presenters/small_windows_design.h"
#include "core/presenters/window_texts.h"
#include "front-ends/qt/designed_window.h"
#include "front-ends/qt/keys.h"
#include "front-ends/qt/text.h"

#include <QDesktopServices>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

namespace tb {
namespace {

constexpr Qt::WindowFlags kToolWindow = Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                        Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint;

// Escape closes the window, as its close box does.
void closeOnEscape(QWidget* window) {
    new KeyAction(window, {Qt::Key_Escape}, [window] { window->close(); });
}

}  // namespace

TForm4::TForm4(const std::vector<std::string>& paths, QWidget* parent) : QWidget(parent, kToolWindow) {
    const DesignedWidgets made(*this, design::viewWindow());
    c_ = {made.get<QLabel>("Label1"), made.get<QListWidget>("ListBox1")};
    closeOnEscape(this);
    const design::Rect heading =
        design::centredHeading(design::viewWindow().control("Label1").rect, c_.Label1->sizeHint().width());
    c_.Label1->setGeometry(heading.x, heading.y, heading.width, heading.height);
    for (const auto& path : paths) c_.ListBox1->addItem(qtext(path));
}

TForm5::TForm5(QWidget* parent) : QWidget(parent, kToolWindow) {
    const DesignedWidgets made(*this, design::aboutWindow());
    c_ = {made.get<QLabel>("Label1"), made.get<QPlainTextEdit>("Memo1")};
    closeOnEscape(this);
}

TFormBuySourceCode::TFormBuySourceCode(QWidget* parent) : QDialog(parent, kToolWindow & ~Qt::WindowStaysOnTopHint) {
    const DesignedWidgets made(*this, design::purchaseWindow());
    c_ = {made.get<QPlainTextEdit>("Memo1"), made.get<QPushButton>("Button1")};
    // Two lines of 16 pixels fill the 41: a margin would push the second out.
    c_.Memo1->document()->setDocumentMargin(0);
    // Whatever the desktop does with the address is its own business.
    connect(c_.Button1, &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(window_texts::kPurchaseAddress))); });
}

}  // namespace tb

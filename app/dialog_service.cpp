#include "app/dialog_service.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>

namespace tb {
namespace {

DialogService* current = nullptr;

// A box is only as wide as its text and buttons, and the title bar then cuts a longer
// caption: room for the caption (set in bold by most window managers) beside the title
// bar's icon and buttons.
void fitCaption(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    QFont title = box.font();
    title.setBold(true);
    const int width = QFontMetrics(title).horizontalAdvance(box.windowTitle()) + 120;
    grid->addItem(new QSpacerItem(width, 0), grid->rowCount(), 0, 1, grid->columnCount());
}

// exec() would make a box modal for the whole application; a box without an owner
// leaves the other windows usable, so it runs a loop of its own instead.
int askOwnerless(QMessageBox::Icon icon, const QString& text, const QString& caption,
                 QMessageBox::StandardButtons buttons) {
    auto* box = new QMessageBox(icon, caption, text, buttons);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    fitCaption(*box);
    QPointer<QMessageBox> guard(box);
    int answer = QMessageBox::NoButton;
    QEventLoop loop;
    QObject::connect(box, &QMessageBox::finished, &loop, [&](int result) {
        answer = result;
        loop.quit();
    });
    QObject::connect(box, &QObject::destroyed, &loop, &QEventLoop::quit);
    box->show();
    loop.exec();
    if (guard) guard->close();
    return answer;
}

}  // namespace

void QtDialogService::errorBox(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    fitCaption(box);
    box.exec();
}

bool QtDialogService::askYesNo(const QString& text, const QString& caption) {
    return askOwnerless(QMessageBox::Question, text, caption, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogService::askOk(const QString& text, const QString& caption) {
    askOwnerless(QMessageBox::Question, text, caption, QMessageBox::Ok);
}

std::optional<QString> QtDialogService::openFile(const TOpenDialog& dialog) {
    QFileDialog box;
    box.setFileMode(QFileDialog::ExistingFile);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setNameFilters(dialog.filters);
    if (!dialog.filters.isEmpty()) box.selectNameFilter(dialog.filters.front());
    box.setSizeGripEnabled(true);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
    return box.selectedFiles().front();
}

void QtDialogService::message(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    fitCaption(box);
    box.exec();
}

bool QtDialogService::confirm(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    fitCaption(box);
    return box.exec() == QMessageBox::Yes;
}

DialogService& dialogs() {
    static QtDialogService real;
    return current != nullptr ? *current : real;
}

void setDialogs(DialogService* service) { current = service; }

}  // namespace tb

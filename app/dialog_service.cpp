#include "app/dialog_service.h"

#include "core/error_boxes.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace tb {
namespace {

DialogService* current = nullptr;

// exec() would make a box modal for the whole application; a box without an owner
// leaves the other windows usable, so it runs a loop of its own instead.
int askOwnerless(QMessageBox::Icon icon, const QString& text, const QString& caption,
                 QMessageBox::StandardButtons buttons) {
    auto* box = new QMessageBox(icon, caption, text, buttons);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
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

void QtDialogService::errorBox(OpenErrorBox& open, const QString& caption) {
    QMessageBox box(QMessageBox::Critical, caption, QString::fromStdString(open.text()), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    open.changed = [&] { box.setText(QString::fromStdString(open.text())); };
    box.exec();
    open.changed = nullptr;
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
    box.exec();
}

bool QtDialogService::confirm(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}

DialogService& dialogs() {
    static QtDialogService real;
    return current != nullptr ? *current : real;
}

void setDialogs(DialogService* service) { current = service; }

}  // namespace tb

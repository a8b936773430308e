#include "app/dialog_service.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>

namespace tb {
namespace {

DialogService* current = nullptr;

}  // namespace

void QtDialogService::errorBox(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool QtDialogService::askYesNo(const QString& text, const QString& caption) {
    // exec() would make the box modal for the whole application; this one has no owner
    // and leaves the other windows usable, so it runs its own loop instead.
    auto* box = new QMessageBox(QMessageBox::Question, caption, text,
                                QMessageBox::Yes | QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    QPointer<QMessageBox> guard(box);
    int answer = QMessageBox::No;
    QEventLoop loop;
    QObject::connect(box, &QMessageBox::finished, &loop, [&](int result) {
        answer = result;
        loop.quit();
    });
    QObject::connect(box, &QObject::destroyed, &loop, &QEventLoop::quit);
    box->show();
    loop.exec();
    if (guard) guard->close();
    return answer == QMessageBox::Yes;
}

DialogService& dialogs() {
    static QtDialogService real;
    return current != nullptr ? *current : real;
}

void setDialogs(DialogService* service) { current = service; }

}  // namespace tb

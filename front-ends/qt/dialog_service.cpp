#include "front-ends/qt/dialog_service.h"

#include "core/error_boxes.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>

namespace tb {
namespace {

// Wide enough for its caption (see boxWidthForCaption).
void fitCaption(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    QFont title = box.font();
    title.setBold(true);
    const int width = boxWidthForCaption(QFontMetrics(title).horizontalAdvance(box.windowTitle()));
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

QString u(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QString qtNameFilter(const FileFilter& filter) { return u(filter.description + " (" + filter.pattern + ")"); }

void QtDialogService::errorBox(OpenErrorBox& open, const std::string& caption) {
    QMessageBox box(QMessageBox::Critical, u(caption), u(open.text()), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    open.changed = [&] { box.setText(QString::fromStdString(open.text())); };
    fitCaption(box);
    box.exec();
    open.changed = nullptr;
}

bool QtDialogService::askYesNo(const std::string& text, const std::string& caption) {
    return askOwnerless(QMessageBox::Question, u(text), u(caption), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtDialogService::askOk(const std::string& text, const std::string& caption) {
    askOwnerless(QMessageBox::Question, u(text), u(caption), QMessageBox::Ok);
}

std::optional<std::string> QtDialogService::openFile(const TOpenDialog& dialog) {
    QStringList filters;
    for (const auto& f : dialog.filters) filters << qtNameFilter(f);
    QFileDialog box;
    box.setFileMode(QFileDialog::ExistingFile);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setNameFilters(filters);
    if (!filters.isEmpty()) box.selectNameFilter(filters.front());
    box.setSizeGripEnabled(true);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(box.selectedFiles().front()).toStdString();
}

void QtDialogService::message(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, u(caption), u(text), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    fitCaption(box);
    box.exec();
}

bool QtDialogService::confirm(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, u(caption), u(text), QMessageBox::Yes | QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    fitCaption(box);
    return box.exec() == QMessageBox::Yes;
}

void endQtLoops() { QCoreApplication::exit(0); }

}  // namespace tb

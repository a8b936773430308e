#pragma once

#include <QDialog>
#include <QWidget>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tb {

// The view window: the scheduled file paths as they were when it was opened.
class TForm4 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm4(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QListWidget* ListBox1 = nullptr;
};

// The about window.
class TForm5 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm5(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
};

// Says where the program's source code can be bought, with a button to the page.
class TFormBuySourceCode final : public QDialog {
    Q_OBJECT

public:
    explicit TFormBuySourceCode(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;
};

}  // namespace tb

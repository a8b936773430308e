#pragma once

#include <QDialog>
#include <QWidget>

#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tb {

// The view window: the scheduled file paths as they were when it was opened.
class TForm4 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm4(const std::vector<std::string>& paths, QWidget* parent = nullptr);

    // The controls, by their names in the window's design: what tests reach.
    struct Controls {
        QLabel* Label1 = nullptr;
        QListWidget* ListBox1 = nullptr;
    };
    const Controls& controls() const { return c_; }

private:
    Controls c_;
};

// The about window.
class TForm5 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm5(QWidget* parent = nullptr);

    struct Controls {
        QLabel* Label1 = nullptr;
        QPlainTextEdit* Memo1 = nullptr;
    };
    const Controls& controls() const { return c_; }

private:
    Controls c_;
};

// Says where the program's source code can be bought, with a button to the page.
class TFormBuySourceCode final : public QDialog {
    Q_OBJECT

public:
    explicit TFormBuySourceCode(QWidget* parent = nullptr);

    struct Controls {
        QPlainTextEdit* Memo1 = nullptr;
        QPushButton* Button1 = nullptr;
    };
    const Controls& controls() const { return c_; }

private:
    Controls c_;
};

}  // namespace tb

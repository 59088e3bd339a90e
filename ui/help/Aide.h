#pragma once
// The help window: one fixed page, built anew at every opening.

#include <QDialog>

class QPlainTextEdit;

namespace palinor {

class Aide : public QDialog {
    Q_OBJECT
public:
    explicit Aide(QWidget* parent = nullptr);

    QPlainTextEdit* text() const { return Text1_; }

private:
    QPlainTextEdit* Text1_ = nullptr;
};

} // namespace palinor

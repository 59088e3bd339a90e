#pragma once
// Answers modal windows from a timer, in order, so that a flow through exec() never hangs a test.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

namespace palinor::testing {

class ModalAnswers {
public:
    using Answer = std::function<void(QWidget*)>;

    ModalAnswers()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    // The next modal window that opens gets this answer.
    void then(Answer answer) { answers_.push_back(std::move(answer)); }
    // How many modal windows were answered, and their titles.
    QStringList titles;
    bool allAnswered() const { return answers_.empty(); }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == last_ || answers_.empty() || !modal->isVisible()) {
            return;
        }
        last_ = modal;
        titles << modal->windowTitle();
        Answer answer = std::move(answers_.front());
        answers_.pop_front();
        answer(modal);
    }

    QTimer timer_;
    std::deque<Answer> answers_;
    QPointer<QWidget> last_;
};

} // namespace palinor::testing

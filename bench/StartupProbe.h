#pragma once
// Measures a program's start: from the first line of main to the end of the first paint of its window,
// then prints the time and the peak memory and ends the program at once, so that a count of instructions
// (valgrind --tool=callgrind) stops at the first frame too. Shared by Palinor's start and the floor.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace palinor::bench {

class StartupProbe : public QObject {
public:
    using Clock = std::chrono::steady_clock;

    explicit StartupProbe(Clock::time_point mainStarted) : started_(mainStarted) {}

    // Watches every widget of the application for the first paint of window.
    void watch(QWidget* window)
    {
        window_ = window;
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!painted_ && event->type() == QEvent::Paint && widget != nullptr && widget->window() == window_) {
            painted_ = true;
            // The rest of this paint pass runs before a zero timer fires.
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return false;
    }

private:
    void report()
    {
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started_);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("startup_us=%lld maxrss_kb=%ld\n", static_cast<long long>(elapsed.count()),
                    usage.ru_maxrss);
        std::fflush(stdout);
        std::_Exit(0);
    }

    Clock::time_point started_;
    QWidget* window_ = nullptr;
    bool painted_ = false;
};

} // namespace palinor::bench

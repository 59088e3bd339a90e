#pragma once
// What happens before the first window: a start-up that fails says why in one French line, and a screen too
// small for the board at its scale gets a smaller scale.

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>

namespace palinor {

// Catches Qt's fatal start-up message: instead of an abort, one French line on stderr and exit code 1.
void watchStartUpFailures();
// Back to Qt's own handling of messages once the application stands.
void stopWatchingStartUpFailures();

// The French line for a fatal Qt message, knowing whether the display was found unreachable before it.
QString startUpFailureLine(const QString& fatalMessage, bool displayUnreachable);

// The board window with its menu bar and frame, in pixels at scale 1.
QSize boardWindowSize();

/* The factor (at most 1) by which a window of `needed` size must shrink to fit in `available`. */
double fittingScale(QSize needed, QRect available);

} // namespace palinor

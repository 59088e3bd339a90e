#pragma once
// What happens before the first window: a start-up that fails says why in one French line.

#include <QByteArray>
#include <QString>

namespace palinor {

// Catches Qt's fatal start-up message: instead of an abort, one French line on stderr and exit code 1.
void watchStartUpFailures();
// Back to Qt's own handling of messages once the application stands.
void stopWatchingStartUpFailures();

// The French line for a fatal Qt message, knowing whether the display was found unreachable before it.
QString startUpFailureLine(const QString& fatalMessage, bool displayUnreachable);

} // namespace palinor

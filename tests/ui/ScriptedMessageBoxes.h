#pragma once
// The message boxes for tests: records what would have been shown and answers questions from a script.

#include "ui/messages/MessageBoxes.h"

#include <QList>
#include <QStringList>

namespace palinor::testing {

struct ScriptedMessageBoxes : MessageBoxes {
    QStringList told;            // every message, in order
    QList<Icon> icons;           // the icon of each
    QStringList spoken;          // what a screen reader says with each, besides its text
    QStringList asked;           // every retry question, in order
    QList<bool> retryAnswers;    // taken in order; "Annuler" once none is left
    QList<bool> importAnswers;   // the same for the import question
    std::function<void()> onAsk; // runs before a question is answered, e.g. to release a lock

    void tell(const QString& text, Icon icon, const QString& said) override
    {
        told << text;
        icons << icon;
        spoken << said;
    }
    bool askRetry(const QString& text) override
    {
        asked << text;
        if (onAsk) {
            onAsk();
        }
        return !retryAnswers.isEmpty() && retryAnswers.takeFirst();
    }
    bool askImport(const QString& text) override
    {
        asked << text;
        return !importAnswers.isEmpty() && importAnswers.takeFirst();
    }
};

} // namespace palinor::testing

#pragma once
// Every message box of the program is asked for through this interface: the windows get the real boxes,
// tests a double with preset answers.

#include <QString>

namespace palinor {

class MessageBoxes {
public:
    enum class Icon { None, Information, Warning, Critical };

    virtual ~MessageBoxes() = default;
    // A message with one OK button, titled with the program's name. A screen reader says spoken after the
    // text, when it is given.
    virtual void tell(const QString& text, Icon icon, const QString& spoken = {}) = 0;
    // The same with "Réessayer" and "Annuler": true when the user chose to try again.
    virtual bool askRetry(const QString& text) = 0;
    // The same with "Importer" (the default) and "Annuler": true when the user chose to import.
    virtual bool askImport(const QString& text) = 0;
};

// The width below which a window manager could not show a box's whole title.
int minimumBoxWidth(const QString& title);

// Qt's message boxes, over the window that is active when they are asked for.
class QtMessageBoxes : public MessageBoxes {
public:
    void tell(const QString& text, Icon icon, const QString& spoken) override;
    bool askRetry(const QString& text) override;
    bool askImport(const QString& text) override;
};

} // namespace palinor

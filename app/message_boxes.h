// The two modal boxes of the main window: the error box and the Yes/No question.
// The window shows them only through this interface, so tests answer them.
#pragma once

#include <memory>
#include <string>

class QWidget;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // The error box: title "Pomelune!", an error icon, the text, one OK button.
    // Returns when it is closed.
    virtual void showError(const std::string& text) = 0;
    // The error box with a details section, folded away until the user opens it;
    // boxes without one show the text alone.
    virtual void showErrorWithDetails(const std::string& text, const std::string& /*details*/) { showError(text); }
    // The question box with Yes and No; true when the answer is Yes.
    virtual bool askYesNo(const std::string& text) = 0;
};

// The boxes as Qt message boxes over the given window (which may be null).
std::unique_ptr<MessageBoxes> makeQtMessageBoxes(QWidget* parent);

// The error box's text for an error message: "." appended when the message's last
// byte is greater than "." in code order.
std::string errorBoxText(const std::string& message);

// The error box and the Yes/No question as Qt message boxes.
#include "app/message_boxes.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace {

const char* const Title = "Pomelune!";

// A box whose texts are shown as they stand: a name or a path from a package that
// looks like markup is no markup.
int runBox(QWidget* parent, QMessageBox::Icon icon, const std::string& text, QMessageBox::StandardButtons buttons,
           const std::string& details = {})
{
    QMessageBox box(icon, Title, QString::fromStdString(text), buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (!details.empty()) box.setDetailedText(QString::fromStdString(details));
    return box.exec();
}

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}

    void showError(const std::string& text) override { runBox(parent_, QMessageBox::Critical, text, QMessageBox::Ok); }

    void showErrorWithDetails(const std::string& text, const std::string& details) override
    {
        runBox(parent_, QMessageBox::Critical, text, QMessageBox::Ok, details);
    }

    bool askYesNo(const std::string& text) override
    {
        return runBox(parent_, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }

private:
    QPointer<QWidget> parent_;
};

}  // namespace

std::unique_ptr<MessageBoxes> makeQtMessageBoxes(QWidget* parent) { return std::make_unique<QtMessageBoxes>(parent); }

std::string errorBoxText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

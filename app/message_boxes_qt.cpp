// The error box and the Yes/No question as Qt message boxes.
#include "app/message_boxes.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace {

const char* const Title = "Pomelune!";

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}

    void showError(const std::string& text) override
    {
        QMessageBox::critical(parent_, Title, QString::fromStdString(text), QMessageBox::Ok);
    }

    void showErrorWithDetails(const std::string& text, const std::string& details) override
    {
        QMessageBox box(QMessageBox::Critical, Title, QString::fromStdString(text), QMessageBox::Ok, parent_);
        box.setDetailedText(QString::fromStdString(details));
        box.exec();
    }

    bool askYesNo(const std::string& text) override
    {
        return QMessageBox::question(parent_, Title, QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    }

private:
    QPointer<QWidget> parent_;
};

}  // namespace

std::unique_ptr<MessageBoxes> makeQtMessageBoxes(QWidget* parent) { return std::make_unique<QtMessageBoxes>(parent); }

std::string errorBoxText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.')) return message + ".";
    return message;
}

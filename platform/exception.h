// The base of every exception the program raises: a UTF-8 message, shown as it
// stands in the application's error box.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const { return message_; }

private:
    std::string message_;
};

// A file that cannot be opened; the path as the user knows it. The system's reason
// ("No such file or directory") is kept apart: the command line shows it after the
// message, the window shows the message alone.
class EFileOpenError : public Exception {
public:
    explicit EFileOpenError(const std::string& shownPath, std::string reason = {})
        : Exception("ファイル " + shownPath + " は開けません"), reason_(std::move(reason)) {}
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
};

// A text that must be an integer and is not one.
class EConvertError : public Exception {
public:
    explicit EConvertError(const std::string& shownText) : Exception("'" + shownText + "' は数値ではありません") {}
};

// A picture file that is no bitmap the program can take.
class EInvalidGraphic : public Exception {
public:
    EInvalidGraphic() : Exception("ビットマップイメージが不正です") {}
    using Exception::Exception;
};

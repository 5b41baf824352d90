// The base of every exception the program raises: a UTF-8 message, shown as it
// stands in the application's error box.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message, std::string reason = {})
            : message_(std::move(message)),
              reason_(std::move(reason))
    {
    }
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const { return message_; }
    // Why, beside the message: the command line shows it after the message, the
    // window in the error box's details. Empty when the message says it all.
    const std::string& reason() const { return reason_; }
    // The message followed by ": " and the reason, when there is one.
    std::string messageWithReason() const { return reason_.empty() ? message_ : message_ + ": " + reason_; }

private:
    std::string message_;
    std::string reason_;
};

// A file that cannot be opened; the path as the user knows it, the system's reason
// ("No such file or directory") apart.
class EFileOpenError : public Exception {
public:
    explicit EFileOpenError(const std::string& shownPath, std::string reason = {})
            : Exception("ファイル " + shownPath + " は開けません", std::move(reason))
    {
    }
};

// A text that must be an integer and is not one.
class EConvertError : public Exception {
public:
    explicit EConvertError(const std::string& shownText) : Exception("'" + shownText + "' は数値ではありません") {}
};

// A picture file that is no bitmap the program can take; the reason names what is
// wrong with it, when more is known than that it is no bitmap.
class EInvalidGraphic : public Exception {
public:
    explicit EInvalidGraphic(std::string reason = {}) : Exception("ビットマップイメージが不正です", std::move(reason))
    {
    }
};

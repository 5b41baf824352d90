#include "archive/cmd_opt.h"

#include "archive/archiver_options.h"
#include "platform/exception.h"
#include "platform/text.h"

#include <cstdio>

namespace {

const std::string Quote = "\"";

}  // namespace

void TCmdOpt::Add(const std::string& word) { CmdLine += " " + word; }

void TCmdOpt::AddSwitch(const std::string& name, int8_t value)
{
    if (value == -1) return;
    Add("-" + name + std::to_string(value));
}

void TCmdOpt::AddQuoted(const std::string& name, const std::string& value)
{
    if (isUnset(value)) return;
    if (name.empty()) {
        Add(Quote + value + Quote);
        return;
    }
    const std::string option = name.front() == ' ' ? name.substr(1) : "-" + name;
    Add(SeparateValue ? option + " " + Quote + value + Quote : Quote + option + value + Quote);
}

void TCmdOpt::AddFolder(const std::string& name, const std::string& folder)
{
    if (folder.empty() || isUnset(folder)) return;
    // No second byte of a double-byte character is a "/", so the last byte tells.
    AddQuoted(name, folder.back() == '/' ? folder : folder + "/");
}

void TCmdOpt::AddFileList(const std::string& name, const std::vector<std::string>& list)
{
    for (const std::string& item : list) AddQuoted(name, filtered(item));
}

void TCmdOpt::WriteResponseFile(const std::vector<std::string>& list, const std::string& path)
{
    std::string text;
    for (const std::string& item : list) text += Quote + filtered(item) + Quote + "\r\n";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw Exception("ファイル " + displayText(path) + " を作成できません");
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) throw Exception("ファイル " + displayText(path) + " に書き込めません");
    AddQuoted("", "@" + path);
}

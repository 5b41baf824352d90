// TCmdOpt: the words of an archiver command line and its response file.
#include "archive/cmd_opt.h"

#include "archive/archiver_options.h"
#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/text.h"

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
    // A new file renamed into place: a link or FIFO standing at path is replaced, never
    // written through or blocked on.
    if (replaceFile(path, text) != 0) throw Exception("ファイル " + displayText(path) + " を作成できません");
    AddQuoted("", "@" + path);
}

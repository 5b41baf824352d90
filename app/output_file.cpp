// Writing an output file whole, and the error of one that cannot be written.
#include "app/output_file.h"

#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <cstring>
#include <string>

void failWriting(const std::filesystem::path& path, int error)
{
    const std::string message = "ファイル " + displayText(path.string()) + " に書き込めません";
    throw Exception(error != 0 ? message + ": " + std::strerror(error) : message);
}

void writeOutputFile(const std::filesystem::path& path, std::string_view bytes)
{
    if (const int error = replaceFile(path.string(), bytes); error != 0) failWriting(path, error);
}

// The result codes of the archiver libraries and the error that carries one with
// its message through the core.
#pragma once

#include <stdexcept>
#include <string>

// Results of the command entry; 0 is success.
enum ArcResult : int {
    arcOk = 0,
    arcBadCommand = 0x8001,
    arcUnsupportedCommand = 0x8002,
    arcCannotOpen = 0x8003,
    arcDamaged = 0x8004,
    arcUnsafePath = 0x8005,
    arcTooLarge = 0x8006,
    arcWriteFailed = 0x8007,
    arcAborted = 0x8008,
};

class ArchiveError : public std::runtime_error {
public:
    ArchiveError(ArcResult result, const std::string& message) : std::runtime_error(message), result_(result) {}
    ArcResult result() const { return result_; }

private:
    ArcResult result_;
};

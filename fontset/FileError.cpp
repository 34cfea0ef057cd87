#include "FileError.h"

#include <cerrno>
#include <system_error>

namespace korvalin {

std::string systemReason(int error) {
    if (error == ENOSPC)
        return "the disk is full";
    return std::generic_category().message(error);
}

} // namespace korvalin

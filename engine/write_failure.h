// Why a file could not be written, in the words of the person who asked for it.
#pragma once

#include <string>
#include <system_error>

namespace tarn {

// Failures of a write that the system has no error number for.
enum class WriteFailure {
    folderMoved = 1,  // the folder was renamed or moved away while the file was written into it
};

const std::error_category& writeFailureCategory();
std::error_code make_error_code(WriteFailure failure);

// The reason as the user would put it: "the disk is full", "the folder cannot be written to", "the
// name is too long for the file system" and the like; otherwise the system's own text, begun in
// lower case, to follow "Could not write <name>: ".
std::string failureInWords(const std::error_code& error);

}  // namespace tarn

template <>
struct std::is_error_code_enum<tarn::WriteFailure> : std::true_type {};

// The words of the file system's refusals, shared by every command that writes a file.
#include "engine/write_failure.h"

#include <cctype>
#include <cerrno>

namespace tarn {
namespace {

class WriteFailureCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "tarn-write"; }
    std::string message(int value) const override {
        return value == static_cast<int>(WriteFailure::folderMoved) ? "the folder was moved during the write"
                                                                    : "the file could not be written";
    }
};

}  // namespace

const std::error_category& writeFailureCategory() {
    static const WriteFailureCategory category;
    return category;
}

std::error_code make_error_code(WriteFailure failure) { return {static_cast<int>(failure), writeFailureCategory()}; }

std::string failureInWords(const std::error_code& error) {
    if (error.category() == writeFailureCategory()) return error.message();
    if (error.category() == std::generic_category() || error.category() == std::system_category()) {
        switch (error.value()) {
            case ENOSPC:
            case EDQUOT:
                return "the disk is full";
            case EFBIG:
                return "the file is too large for the disk";
            case ENOENT:
            case ENOTDIR:
                return "the folder is gone";
            case EACCES:
            case EPERM:
            case EROFS:
                return "the folder cannot be written to";
            case ENAMETOOLONG:
                return "the name is too long for the file system";
            case EISDIR:
                return "a folder has that name";
            default:
                break;
        }
    }
    std::string text = error.message();
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

}  // namespace tarn

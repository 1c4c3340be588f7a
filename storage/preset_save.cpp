// The preset package and the checked write into plugin/bank/id with its durable replace.
#include "storage/preset_save.h"

#include "documents/instance.h"
#include "documents/json/reader.h"
#include "documents/zip/zip.h"
#include "engine/durable_replace.h"
#include "engine/write_failure.h"
#include "storage/folder_listing.h"
#include "storage/preset_names.h"
#include "storage/preset_store.h"

#include <sys/stat.h>

namespace tarn {
namespace {

void unwritable(IssueList& issues, std::string message) {
    addError(issues, "preset-unwritable", "", std::move(message));
}

// What the user calls the preset: its name, or its id when it has none.
std::string presetCalled(const json::Value& document, const std::string& id) {
    const json::Value* meta = document.find("meta");
    const std::string name = meta != nullptr ? json::stringOr(*meta, "name", "") : std::string();
    return name.empty() ? id : name;
}

}  // namespace

Package buildPresetPackage(const PresetMeta& meta, const Patch& patch) {
    Package package;
    package.documentName = "instance.json";
    std::string text;
    patchToInstance(InstanceDocument{}, text, patch, std::nullopt, &meta);
    std::string error;
    // The writer's own compact text always parses; a failure would leave a Null document,
    // which the write then refuses as not an instance document.
    if (!json::parse(text, package.document, error))
        package.document = json::Value();
    else
        package.document.set("id", presetSlug(meta.name));
    return package;
}

std::optional<WrittenPreset> writeUserPresetFile(const std::filesystem::path& userFolder, const std::string& bank,
                                                 const Package& package, IssueList& issues) {
    namespace fs = std::filesystem;
    if (userFolder.empty()) {
        addError(issues, "user-presets-unavailable", "", "This system names no user preset folder");
        return std::nullopt;
    }
    const json::Value* kind = package.document.find("kind");
    if (kind == nullptr || kind->kind != json::Kind::String || kind->text != "instance") {
        addError(issues, "preset-unsaveable", "/kind", "A preset is an instance document");
        return std::nullopt;
    }
    const std::string plugin = json::stringOr(package.document, "plugin", "");
    const std::string id = json::stringOr(package.document, "id", "");
    if (checkFileNamePart(issues, "/plugin", "plugin id", plugin) || checkFileNamePart(issues, "", "bank", bank) ||
        checkFileNamePart(issues, "/id", "preset id", id)) {
        return std::nullopt;
    }
    const std::optional<std::vector<std::uint8_t>> bytes = writePackage(package, issues);
    if (!bytes) return std::nullopt;

    const fs::path folder = userFolder / plugin / bank;
    const std::string extension = zip::looksLikeZip(*bytes) ? ".tarn" : ".json";
    const fs::path file = folder / (id + extension);

    std::error_code error;
    fs::create_directories(folder, error);
    if (!error && !fs::is_directory(folder, error) && !error) {
        error = std::make_error_code(std::errc::not_a_directory);
    }
    // Said as every other failed write is: the preset by the name it was given, why in words, and
    // never the temporary file, which the user never chose.
    const std::string couldNotWrite = "Could not write " + presetCalled(package.document, id) + ": ";
    if (error) {
        unwritable(issues, couldNotWrite + failureInWords(error));
        return std::nullopt;
    }

    // At SyncFolder the new file is already in place; the save still reports the failure because the
    // preset may not survive a power loss.
    if (const std::optional<ReplaceFailure> failure =
            replaceFileDurably(file, file.filename().string() + ".tmp", *bytes)) {
        unwritable(issues, couldNotWrite + failureInWords(failure->error));
        return std::nullopt;
    }

    for (const char* otherExtension : {".json", ".tarn", ".zip"}) {
        const fs::path other = folder / (id + otherExtension);
        if (other == file) continue;
        // A folder of that name is no copy of the preset (the scan never reads one): left alone.
        const fs::file_status status = fs::symlink_status(other, error);
        if (error || status.type() == fs::file_type::not_found || status.type() == fs::file_type::directory) {
            error.clear();
            continue;
        }
        if (!fs::remove(other, error) && error && error != std::errc::no_such_file_or_directory) {
            unwritable(issues, "Could not remove the replaced " + pathText(other) + ": " + systemText(error));
            return std::nullopt;
        }
    }
    return WrittenPreset{"user:" + bank + "/" + id, file};
}

std::optional<std::string> writeUserPreset(const PresetStore& store, const std::string& bank, const Package& package,
                                           IssueList& issues) {
    std::optional<WrittenPreset> written = writeUserPresetFile(store.userFolder, bank, package, issues);
    if (!written) return std::nullopt;
    return std::move(written->key);
}

}  // namespace tarn

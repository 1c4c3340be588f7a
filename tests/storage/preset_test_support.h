// Preset files written by hand for the store tests.
#pragma once

#include "tests/storage/scratch_folder.h"

#include <string>

namespace tarn::testing {

// A minimal instance document of this instrument; an empty name or category leaves it out of "meta".
inline std::string presetText(const std::string& id, const std::string& name = "", const std::string& category = "",
                              const std::string& plugin = "tarnlode") {
    std::string meta;
    if (!name.empty()) meta += "\"name\":\"" + name + "\"";
    if (!category.empty()) meta += std::string(meta.empty() ? "" : ",") + "\"category\":\"" + category + "\"";
    return "{\"kind\":\"instance\",\"spec\":\"1.0\",\"id\":\"" + id + "\",\"plugin\":\"" + plugin +
           "\",\"formatVersion\":1,\"scope\":\"complete\"" + (meta.empty() ? "" : ",\"meta\":{" + meta + "}") +
           ",\"params\":{\"weight\":0.25},\"state\":{}}\n";
}

inline void writePreset(const std::filesystem::path& path, const std::string& id, const std::string& name = "",
                        const std::string& category = "", const std::string& plugin = "tarnlode") {
    writeText(path, presetText(id, name, category, plugin));
}

}  // namespace tarn::testing

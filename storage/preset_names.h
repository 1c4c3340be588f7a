// Preset file naming: the slug that turns a name or category into a file-name part, and its check.
#pragma once

#include "documents/issue.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tarn {

// The text byte by byte: space and < > : " / \ | ? * and bytes below 0x20 become "-", ASCII
// capitals become lower case, every other byte (UTF-8 sequences included) stays. No trimming,
// no collapsing: "Deep  Sub!" becomes "deep--sub!".
std::string presetSlug(const std::string& text);

// The bytes of a preset file's id in a folder that takes names of `nameLimit` bytes: room for the
// extension (".json" or ".tarn") and the ".tmp" of its temporary file.
std::size_t presetIdRoom(std::size_t nameLimit);

// The name of the preset whose file in the plugin folder has the id given, or none.
using PresetIdHolder = std::function<std::optional<std::string>(const std::string& id)>;

// The id, and so the file name, of a preset of `name`: its slug, cut between characters to `room`
// bytes when longer. A name that fits keeps its slug, and is saved over a preset whose name slugs
// alike. A cut id, and a slug that a cut one holds, are kept apart from a preset of another name
// already holding them: then the first of id-2, id-3, ... (cut shorter to keep within room) that
// none holds.
std::string presetId(const std::string& name, std::size_t room, const PresetIdHolder& holderOf);

// The text without its control characters (C0, DEL and C1): none reaches a preset's document or
// file name, wherever its name came from. Bytes of other UTF-8 sequences, valid or not, stay.
std::string withoutControlCharacters(const std::string& text);

// Empty, or made only of white space (the space, the no-break and typographic spaces, the line and
// paragraph separators): nothing there names a preset.
bool isBlank(const std::string& text);

// Not empty, not "." or "..", and no byte below 0x20, no 0x7F and none of / \ : * ? " < > |.
bool canNameFile(const std::string& text);

// True after adding the Error "preset-unsaveable" at pointer ("The <what> \"<text>\" cannot name
// a file") when text cannot name a file; false, adding nothing, when it can.
bool checkFileNamePart(IssueList& issues, const std::string& pointer, const std::string& what, const std::string& text);

}  // namespace tarn

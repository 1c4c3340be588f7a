// A session: the sound with its preset name, the bass pattern, and which line plays; and its file format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "documents/instance.h"
#include "documents/issue.h"
#include "engine/patch.h"
#include "engine/pattern.h"

namespace tarn {

inline constexpr std::int32_t kNoteSourceDemo = 0;
inline constexpr std::int32_t kNoteSourcePattern = 1;

struct Session {
    Patch patch;
    std::string name;      // preset name of the sound; empty for none
    std::string category;  // preset category of the sound
    Pattern pattern;       // root note 36, scale 0 and no bars unless read or set
    std::int32_t noteSource = kNoteSourcePattern;  // 1: the pattern plays; 0: the built-in demo line
    // Our own addition: the sound's instance document as read, so that a session written back
    // keeps the members this program does not use (unknown params, hints, other state). A new
    // session holds an empty document.
    InstanceDocument soundDocument;

    Session();
};

// The session file: compact JSON on one line.
std::string writeSession(const Session& session);

// The session in `text` (a byte-order mark and blanks before it are accepted), or none when
// it cannot be opened as a session; `issues` say why, and hold the warnings of a usable one.
std::optional<Session> readSession(const std::string& text, IssueList& issues);

}  // namespace tarn

// The key-tap latch: what each frame sees of keys, modifiers and text that came faster than frames.
#include "ui/host/key_tap_latch.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

const std::map<std::string, SDL_Scancode> kKeys{
    {"ctrl", SDL_SCANCODE_LCTRL}, {"shift", SDL_SCANCODE_LSHIFT}, {"a", SDL_SCANCODE_A},        {"b", SDL_SCANCODE_B},
    {"o", SDL_SCANCODE_O},        {"s", SDL_SCANCODE_S},          {"space", SDL_SCANCODE_SPACE}};

// Events as SDL makes them from tokens: "s+" (S down), "s-" (S up), "s*" (an auto-repeat of S) and
// "'xy'" (typed text). Each key event carries the modifiers held once it happened, as SDL's do.
class Keyboard {
public:
    SDL_Event event(const std::string& token) {
        SDL_Event e{};
        if (token.front() == '\'') {
            e.type = SDL_TEXTINPUT;
            const std::string text = token.substr(1, token.size() - 2);
            text.copy(e.text.text, sizeof e.text.text - 1);
            return e;
        }
        const char change = token.back();
        const SDL_Scancode code = kKeys.at(token.substr(0, token.size() - 1));
        const Uint16 bit = code == SDL_SCANCODE_LCTRL ? KMOD_LCTRL : code == SDL_SCANCODE_LSHIFT ? KMOD_LSHIFT : 0;
        mod_ = change == '-' ? static_cast<Uint16>(mod_ & ~bit) : static_cast<Uint16>(mod_ | bit);
        e.type = change == '-' ? SDL_KEYUP : SDL_KEYDOWN;
        e.key.repeat = change == '*' ? 1 : 0;
        e.key.keysym.scancode = code;
        e.key.keysym.mod = mod_;
        return e;
    }

private:
    Uint16 mod_ = 0;
};

// What the platform layer hands to Dear ImGui: keys down, the last key event's modifiers, text.
struct Frames {
    std::set<std::string> down;
    Uint16 mod = 0;
    std::string text;
    std::vector<std::string> seen;

    void apply(const SDL_Event& e) {
        if (e.type == SDL_TEXTINPUT) {
            text += e.text.text;
            return;
        }
        for (const auto& [name, code] : kKeys) {
            if (code != e.key.keysym.scancode) continue;
            if (e.type == SDL_KEYDOWN) down.insert(name);
            if (e.type == SDL_KEYUP) down.erase(name);
        }
        mod = e.key.keysym.mod;
    }
    void frame() {
        std::ostringstream out;
        for (const std::string& key : down) out << key << " ";
        out << "mods:" << ((mod & KMOD_CTRL) != 0 ? "ctrl" : "") << ((mod & KMOD_SHIFT) != 0 ? "shift" : "");
        if (!text.empty()) out << " '" << text << "'";
        seen.push_back(out.str());
        text.clear();
    }
};

TEST(KeyTapLatch, EveryFrameSeesKeysModifiersAndTextInTheOrderTheyCame) {
    struct Case {
        const char* what;
        std::vector<std::vector<std::string>> arriving;  // the events before each frame
        std::vector<std::string> frames;
    };
    const Case cases[] = {
        {"a tap between two frames", {{"space+", "space-"}}, {"space mods:", "mods:"}},
        {"a chord within one frame", {{"ctrl+", "s+", "s-", "ctrl-"}}, {"ctrl s mods:ctrl", "mods:"}},
        {"Ctrl let go before the key, Ctrl held since an earlier frame",
         {{"ctrl+"}, {"s+", "ctrl-", "s-"}},
         {"ctrl mods:ctrl", "ctrl s mods:ctrl", "mods:"}},
        {"a modifier pressed after the key is not the key's", {{"s+", "ctrl+"}}, {"s mods:", "ctrl s mods:ctrl"}},
        {"two chords within one frame, one after the other",
         {{"ctrl+", "s+", "s-", "ctrl-", "ctrl+", "o+", "o-", "ctrl-"}},
         {"ctrl s mods:ctrl", "mods:", "ctrl o mods:ctrl", "mods:"}},
        {"text typed after Ctrl+A waits until Ctrl is up",
         {{"ctrl+", "a+", "a-", "ctrl-", "'x'"}},
         {"a ctrl mods:ctrl", "mods: 'x'"}},
        {"typing, each key seen down once",
         {{"a+", "'a'", "a-", "b+", "'b'", "b-"}},
         {"a mods: 'a'", "b mods: 'b'", "mods:"}},
        {"a shifted letter keeps Shift",
         {{"shift+", "a+", "'A'", "a-", "shift-"}},
         {"a shift mods:shift 'A'", "mods:"}},
        {"auto-repeats pass while the key is held", {{"s+"}, {"s*", "s*"}, {"s-"}}, {"s mods:", "s mods:", "mods:"}},
    };
    for (const Case& c : cases) {
        KeyTapLatch latch;
        Keyboard keyboard;
        Frames frames;
        for (size_t i = 0; i < c.frames.size(); ++i) {
            if (i < c.arriving.size()) {
                for (const std::string& token : c.arriving[i]) {
                    const SDL_Event e = keyboard.event(token);
                    if (!latch.holdBack(e)) frames.apply(e);
                }
            }
            frames.frame();
            for (const SDL_Event& e : latch.afterFrame()) frames.apply(e);
        }
        EXPECT_EQ(frames.seen, c.frames) << c.what;
    }
}

}  // namespace
}  // namespace tarn::ui

// Letter keys as the keyboard layout marks them: which key state each key sets, and that a key's
// release always lets go of what its press set.
#include "ui/host/layout_keys.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tarn::ui {
namespace {

// What some keys type under three layouts, by their place on a US keyboard (their scancode). Keys not
// listed type what a US keyboard marks there.
struct Layout {
    const char* name;
    std::map<SDL_Scancode, SDL_Keycode> differs;
};
const Layout kUs{"us", {}};
const Layout kFr{"fr",
                 {{SDL_SCANCODE_Q, SDLK_a},
                  {SDL_SCANCODE_A, SDLK_q},
                  {SDL_SCANCODE_W, SDLK_z},
                  {SDL_SCANCODE_Z, SDLK_w},
                  {SDL_SCANCODE_M, SDLK_COMMA},
                  {SDL_SCANCODE_SEMICOLON, SDLK_m},
                  {SDL_SCANCODE_1, SDLK_AMPERSAND}}};
const Layout kDe{"de", {{SDL_SCANCODE_Y, SDLK_z}, {SDL_SCANCODE_Z, SDLK_y}, {SDL_SCANCODE_SEMICOLON, 0xF6}}};
// A layout that types no Latin letter (as a Cyrillic one): letters' places keep their letters' slots.
const Layout kRu{"ru", {{SDL_SCANCODE_S, 0x44B}, {SDL_SCANCODE_A, 0x444}, {SDL_SCANCODE_O, 0x449}}};

const Layout* current = &kUs;

// What a US keyboard types at a place (SDL's own table needs a video subsystem): letters and digits,
// and for every other key a code of its own that is no letter.
SDL_Keycode usKey(SDL_Scancode place) {
    if (place >= SDL_SCANCODE_A && place <= SDL_SCANCODE_Z) return SDLK_a + (place - SDL_SCANCODE_A);
    if (place >= SDL_SCANCODE_1 && place <= SDL_SCANCODE_9) return SDLK_1 + (place - SDL_SCANCODE_1);
    return SDL_SCANCODE_TO_KEYCODE(place);
}

SDL_Keycode typedAt(SDL_Scancode place) {
    const auto found = current->differs.find(place);
    if (found != current->differs.end()) return found->second;
    return usKey(place);
}

SDL_Scancode whereTyped(SDL_Keycode key) {
    for (int place = 0; place < SDL_NUM_SCANCODES; ++place) {
        if (typedAt(static_cast<SDL_Scancode>(place)) == key) return static_cast<SDL_Scancode>(place);
    }
    return SDL_SCANCODE_UNKNOWN;
}

SDL_Event keyEvent(Uint32 type, SDL_Scancode place) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.scancode = place;
    e.key.keysym.sym = typedAt(place);
    return e;
}

int slotOf(SDL_Scancode place) { return keySlot(place, typedAt(place), whereTyped(usKey(place))); }

TEST(LayoutKeys, EachLetterKeySetsTheLetterItTypesAndOtherKeysKeepTheirPlace) {
    // clang-format off
    const struct { const Layout* layout; SDL_Scancode place; int slot; } cases[] = {
        {&kUs, SDL_SCANCODE_S,         SDL_SCANCODE_S},
        {&kUs, SDL_SCANCODE_A,         SDL_SCANCODE_A},
        {&kFr, SDL_SCANCODE_Q,         SDL_SCANCODE_A},  // marked A on AZERTY: select all
        {&kFr, SDL_SCANCODE_A,         SDL_SCANCODE_Q},
        {&kFr, SDL_SCANCODE_W,         SDL_SCANCODE_Z},  // marked Z: undo
        {&kFr, SDL_SCANCODE_S,         SDL_SCANCODE_S},
        {&kFr, SDL_SCANCODE_SEMICOLON, SDL_SCANCODE_M},
        {&kFr, SDL_SCANCODE_1,         SDL_SCANCODE_1},  // no letter: its place
        {&kDe, SDL_SCANCODE_Y,         SDL_SCANCODE_Z},  // marked Z on QWERTZ: undo
        {&kDe, SDL_SCANCODE_Z,         SDL_SCANCODE_Y},
        {&kDe, SDL_SCANCODE_SEMICOLON, SDL_SCANCODE_SEMICOLON},
        {&kRu, SDL_SCANCODE_S,         SDL_SCANCODE_S},  // no Latin letter anywhere: the place's letter
        {&kRu, SDL_SCANCODE_O,         SDL_SCANCODE_O},
        {&kUs, SDL_SCANCODE_ESCAPE,    SDL_SCANCODE_ESCAPE},
        {&kFr, SDL_SCANCODE_RETURN,    SDL_SCANCODE_RETURN},
    };
    // clang-format on
    for (const auto& c : cases) {
        current = c.layout;
        EXPECT_EQ(slotOf(c.place), c.slot) << c.layout->name << " " << SDL_GetScancodeName(c.place);
    }
    // AZERTY's comma sits on US M's place, while M is typed elsewhere: it must never read as M.
    current = &kFr;
    EXPECT_NE(slotOf(SDL_SCANCODE_M), SDL_SCANCODE_M);
    EXPECT_GE(slotOf(SDL_SCANCODE_M), SDL_SCANCODE_ENDCALL);
    EXPECT_LT(slotOf(SDL_SCANCODE_M), SDL_NUM_SCANCODES);
}

// Key events under layouts that change as they come: "fr" (the layout from now on), "q+" (the key at
// US Q's place down), "q-" (up). Every release lets go of exactly the slot its press set.
TEST(LayoutKeys, AReleaseLetsGoOfWhatItsPressSetWhateverTheLayoutDidInBetween) {
    // clang-format off
    const struct { std::vector<std::string> steps; std::vector<int> held; } cases[] = {
        {{"fr", "q+"},                     {SDL_SCANCODE_A}},
        {{"fr", "q+", "us", "q-"},         {}},
        {{"fr", "q+", "us", "q+", "q-"},   {}},             // the repeat keeps the press's slot
        {{"fr", "q+", "us", "a+"},         {SDL_SCANCODE_A}},
        {{"us", "z+", "de", "z-", "z+"},   {SDL_SCANCODE_Y}},
        {{"de", "y+", "z+", "y-"},         {SDL_SCANCODE_Y}},
    };
    // clang-format on
    const std::map<std::string, const Layout*> layouts{{"us", &kUs}, {"fr", &kFr}, {"de", &kDe}};
    const std::map<char, SDL_Scancode> places{
        {'q', SDL_SCANCODE_Q}, {'a', SDL_SCANCODE_A}, {'z', SDL_SCANCODE_Z}, {'y', SDL_SCANCODE_Y}};
    for (const auto& c : cases) {
        LayoutKeys keys(whereTyped);
        std::map<int, int> down;  // slot -> presses not yet released
        std::string where;
        for (const std::string& step : c.steps) {
            where += step + " ";
            if (layouts.count(step) != 0) {
                current = layouts.at(step);
                continue;
            }
            const bool press = step[1] == '+';
            const SDL_Event e = keys.rename(keyEvent(press ? SDL_KEYDOWN : SDL_KEYUP, places.at(step[0])));
            const int slot = e.key.keysym.scancode;
            if (press) {
                down[slot] = 1;
            } else {
                EXPECT_EQ(down.count(slot), 1u) << where << "released a slot that was never pressed";
                down.erase(slot);
            }
        }
        std::vector<int> held;
        for (const auto& entry : down) held.push_back(entry.first);
        EXPECT_EQ(held, c.held) << where;
    }
    current = &kUs;
}

}  // namespace
}  // namespace tarn::ui

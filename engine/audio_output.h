// The default playback device, opened through SDL2 and filled by the live player.
#pragma once

#include "engine/audio_config.h"
#include "engine/live_player.h"

#include <cstdint>
#include <string>

namespace tarn {

inline constexpr const char* kNoOutputDeviceMessage = "no output device could be opened";
inline constexpr const char* kOutputWouldNotStartMessage = "the output device would not start";

// One output owns one device of its own. The device is opened once and then runs until the
// output is destroyed; play and stop only change the player's flag. Destroying the output
// closes the device first, so no callback runs afterwards: destroy it before the player.
class AudioOutput {
public:
    AudioOutput() = default;
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Opens the default device as 32-bit float stereo at the config's rate, adopting the rate the
    // device actually runs at into `config`, prepares the player with it and starts the device.
    // True when the device runs (also when it already did); false with error() set otherwise.
    bool open(LivePlayer& player, AudioConfig& config);

    bool isOpen() const { return open_; }
    float sampleRate() const { return sampleRate_; }  // the device's rate once open
    const std::string& error() const { return error_; }  // the last failure; empty when none

private:
    bool fail(const char* message);

    bool open_ = false;
    float sampleRate_ = 0.0f;
    std::string error_;
    std::uint32_t device_ = 0;  // SDL's device id; 0 = none
};

// The device's data callback: `userdata` is the player, `stream` interleaved float stereo.
void audioCallback(void* userdata, std::uint8_t* stream, int bytes);

}  // namespace tarn

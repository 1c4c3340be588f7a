// The default playback device, opened through SDL2 and filled by the live player.
#include "engine/audio_output.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace tarn {

namespace {

// Frames per device buffer: about 11 ms at 48 kHz, short enough to follow edits closely.
constexpr Uint16 kDeviceBufferFrames = 512;
constexpr int kChannels = 2;

// The rate to ask the device for: the config's, truncated, when it is a usable number.
int requestedRate(float rate) {
    if (std::isfinite(rate) && rate >= 1.0f && rate <= 1.0e6f) {
        return static_cast<int>(rate);
    }
    return static_cast<int>(AudioConfig{}.sampleRate);
}

}  // namespace

void audioCallback(void* userdata, std::uint8_t* stream, int bytes) {
    constexpr int kFrameBytes = kChannels * static_cast<int>(sizeof(float));
    const int frames = bytes / kFrameBytes;
    static_cast<LivePlayer*>(userdata)->process(reinterpret_cast<float*>(stream), frames);
    // A stray partial frame would otherwise go out as whatever the buffer held.
    std::memset(stream + frames * kFrameBytes, 0, static_cast<std::size_t>(bytes - frames * kFrameBytes));
}

bool AudioOutput::open(LivePlayer& player, AudioConfig& config) {
    if (open_) {
        return true;
    }
    error_.clear();
    // SDL counts initialisations, so each output holds the audio subsystem for its own device.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return fail(kNoOutputDeviceMessage);
    }

    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = requestedRate(config.sampleRate);
    want.format = AUDIO_F32SYS;
    want.channels = kChannels;
    want.samples = kDeviceBufferFrames;
    want.callback = audioCallback;
    want.userdata = &player;
    SDL_AudioSpec have;
    SDL_zero(have);
    // Only the rate may differ; SDL converts format and channels if the device wants others.
    const SDL_AudioDeviceID device =
        SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device == 0) {
        fail(kNoOutputDeviceMessage);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }

    sampleRate_ = static_cast<float>(have.freq);
    config.sampleRate = sampleRate_;
    // The device opens paused: no callback runs until it is unpaused below.
    player.prepare(config);

    SDL_PauseAudioDevice(device, 0);
    if (SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_PLAYING) {
        fail(kOutputWouldNotStartMessage);
        SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    device_ = device;
    open_ = true;
    return true;
}

bool AudioOutput::fail(const char* message) {
    error_ = message;
    std::fprintf(stderr, "audio output: %s: %s\n", message, SDL_GetError());
    return false;
}

AudioOutput::~AudioOutput() {
    if (open_) {
        // Closing joins SDL's device thread: after this no callback can reach the player.
        SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device_ = 0;
        open_ = false;
    }
}

}  // namespace tarn

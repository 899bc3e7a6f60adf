// Event sounds are played by code (0 is no sound); the table that maps codes
// to wave data belongs to the sounds module, this is only the way to reach it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using TSoundEventCode = std::uint8_t;

class TSoundPlayer {
public:
    virtual ~TSoundPlayer() = default;
    // Starts playing the wave data and returns at once, stopping any sound in play.
    virtual void PlayWave(const std::vector<std::uint8_t>& waveData) = 0;
    // Plays the sound assigned to an event code; a code without a sound plays nothing.
    virtual void PlaySoundEvent(TSoundEventCode code) = 0;
    virtual void Stop() = 0;
};

class TSilentSoundPlayer final : public TSoundPlayer {
public:
    void PlayWave(const std::vector<std::uint8_t>&) override {}
    void PlaySoundEvent(TSoundEventCode) override {}
    void Stop() override {}
};

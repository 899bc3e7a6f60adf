// Sounds through Qt Multimedia; silent when the machine has no audio output.
#pragma once

#include <QTemporaryFile>
#include <memory>

#include "services/sound_player.h"

class QSoundEffect;

class TQtSoundPlayer final : public TSoundPlayer {
public:
    TQtSoundPlayer();
    ~TQtSoundPlayer() override;

    void PlayWave(const std::vector<std::uint8_t>& waveData) override;
    // The event sounds table is not part of the program yet: events play nothing.
    void PlaySoundEvent(TSoundEventCode code) override;
    void Stop() override;

    bool HasOutput() const { return Effect != nullptr; }

private:
    std::unique_ptr<QSoundEffect> Effect;
    std::unique_ptr<QTemporaryFile> Wave;
};

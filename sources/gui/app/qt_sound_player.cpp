#include "app/qt_sound_player.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

TQtSoundPlayer::TQtSoundPlayer() {
    if (!QMediaDevices::audioOutputs().isEmpty()) Effect = std::make_unique<QSoundEffect>();
}

TQtSoundPlayer::~TQtSoundPlayer() = default;

void TQtSoundPlayer::PlayWave(const std::vector<std::uint8_t>& waveData) {
    if (!Effect || waveData.empty()) return;
    Stop();
    // QSoundEffect plays files only: the data goes through a temporary file.
    auto file = std::make_unique<QTemporaryFile>(QStringLiteral("lumora-XXXXXX.wav"));
    if (!file->open()) return;
    file->write(reinterpret_cast<const char*>(waveData.data()), static_cast<qint64>(waveData.size()));
    file->flush();
    Effect->setSource(QUrl::fromLocalFile(file->fileName()));
    Wave = std::move(file);
    Effect->play();
}

void TQtSoundPlayer::PlaySoundEvent(TSoundEventCode) {}

void TQtSoundPlayer::Stop() {
    if (Effect) Effect->stop();
}

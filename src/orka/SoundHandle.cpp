#include "orka/SoundHandle.hpp"

#include "orka/AudioOutput.hpp"

namespace orka {

bool SoundHandle::isPlaying() const {
    return output != nullptr && output->isCurrentPlay(channel, play);
}

void SoundHandle::stop() const {
    if (isPlaying()) output->stopChannel(channel);
}

void SoundHandle::setVolume(float volume) const {
    if (isPlaying()) output->setChannelVolume(channel, volume);
}

void SoundHandle::setPan(float pan) const {
    if (isPlaying()) output->setChannelPan(channel, pan);
}

void SoundHandle::setPitch(float pitch) const {
    if (isPlaying()) output->setChannelPitch(channel, pitch);
}

}  // namespace orka

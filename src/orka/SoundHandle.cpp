#include "orka/SoundHandle.hpp"

#include <cmath>

#include "orka/AudioOutput.hpp"
#include "orka/Log.hpp"

namespace orka {

bool SoundHandle::isPlaying() const {
    return output != nullptr && output->isCurrentPlay(channel, play);
}

void SoundHandle::stop() const {
    if (isPlaying()) output->stopChannel(channel);
}

void SoundHandle::pause() const {
    if (isPlaying()) output->pauseChannel(channel, true);
}

void SoundHandle::resume() const {
    if (isPlaying()) output->pauseChannel(channel, false);
}

bool SoundHandle::isPaused() const {
    return isPlaying() && output->isChannelPaused(channel);
}

void SoundHandle::setVolume(float volume) const {
    if (!std::isfinite(volume)) {
        ORKA_LOG_WARNING("A sound's volume of %g is not a number: the play keeps its volume",
                         static_cast<double>(volume));
        return;
    }
    if (isPlaying()) output->setChannelVolume(channel, volume);
}

void SoundHandle::setPan(float pan) const {
    if (!std::isfinite(pan)) {
        ORKA_LOG_WARNING("A sound's pan of %g is not a number: the play keeps its pan",
                         static_cast<double>(pan));
        return;
    }
    if (isPlaying()) output->setChannelPan(channel, pan);
}

void SoundHandle::setPitch(float pitch) const {
    if (!std::isfinite(pitch)) {
        ORKA_LOG_WARNING("A sound's pitch of %g is not a number: the play keeps its pitch",
                         static_cast<double>(pitch));
        return;
    }
    if (isPlaying()) output->setChannelPitch(channel, pitch);
}

}  // namespace orka

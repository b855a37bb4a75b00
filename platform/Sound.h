#pragma once
// The sounds that mark switching the snippet menu on and off. Both calls return
// at once; the sound plays through the desktop's sound server, and where there
// is none nothing is heard and nothing is reported.

#include <functional>
#include <string>

namespace sound {

// Plays a sound file. The path is used as given; one that names no playable
// file gives the desktop's default sound instead.
void PlayFile(const std::string& path);

// A sine tone of the given pitch and length.
void Beep(unsigned frequencyHz, unsigned durationMs);

// While set, the calls above report "play:<path>" or "beep:<hz>:<ms>" to the
// sink instead of sounding. An empty function restores the sounds.
void SetTestSink(std::function<void(const std::string& what)> sink);

} // namespace sound

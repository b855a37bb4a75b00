#pragma once
// A short sine tone as a WAV file, for the beeps of the menu toggle: X11 has no
// tone generator that reaches the sound server.

#include <string>

// 16-bit mono PCM WAV bytes: a sine of `hz` lasting `ms`, rate*ms/1000 samples,
// faded in and out over a few milliseconds so that it starts and ends without
// a click.
std::string MakeToneWav(unsigned hz, unsigned ms, unsigned sampleRate);

// Where the tone's cache file lives: $XDG_RUNTIME_DIR, else the temp folder
// under a name that carries the user id.
std::string ToneCachePath(unsigned hz, unsigned ms);

// The cache file of the tone at 44100 Hz, written when this process has not
// written it yet or it has gone; "" when it cannot be written.
std::string ToneFile(unsigned hz, unsigned ms);

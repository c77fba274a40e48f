#ifndef TOVRANE_TOOLS_OGGTONE_H
#define TOVRANE_TOOLS_OGGTONE_H

#include <string>

namespace TovraneTools
{
// Encodes a mono Ogg Vorbis file of the given length: a soft sine tone with
// short fades, or silence. The stream serial number comes from the seed, so
// the same arguments always give the same bytes. Empty on failure.
std::string encodeOggTone(double seconds, double frequency, bool silent, unsigned int seed);

// The same for any number of sample frames, sample rate and channels (every
// channel alike); a frequency of 0 gives noise, which fills many pages.
std::string encodeOgg(long frames, int rate, int channels, double frequency, bool silent, unsigned int seed);

// The sample rate of the generated files.
const int OggToneRate = 22050;
}

#endif

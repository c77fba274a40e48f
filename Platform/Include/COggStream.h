#ifndef PLATFORM_COGGSTREAM_H
#define PLATFORM_COGGSTREAM_H

#include <memory>
#include <string>

namespace Vantorel
{
namespace Kelm
{
// One Ogg Vorbis file decoded on demand with libvorbisfile and resampled
// (linearly) to the mixer's rate, as stereo float frames. Mono files play on
// both sides; files with more than two channels play their first two. A
// chained file (parts joined end to end) plays each part at its own rate.
class COggStream
{
public:
    enum class OpenResult
    {
        Opened,
        Missing,      // no such file, or it cannot be read
        Undecodable,  // not an Ogg Vorbis file, or a broken one
    };

    COggStream();
    ~COggStream();

    // Opens the file for playing at outputRate frames per second; error gets
    // a description when the result is not Opened.
    OpenResult open(const std::string& path, int outputRate, bool looped, std::string& error);

    // Adds up to frames output frames, times gain, into the interleaved
    // stereo buffer mix; returns how many it added (fewer only at the end of a
    // one-shot file).
    long render(float* mix, long frames, float gain);

    // True once every sample of a one-shot file has been rendered. A looped
    // file never finishes.
    bool finished() const;

    // The sample rate of the file's first part.
    int sourceRate() const;

    COggStream(const COggStream&) = delete;
    COggStream& operator=(const COggStream&) = delete;

private:
    struct Decoder;
    std::unique_ptr<Decoder> decoder;
};
}
}

#endif

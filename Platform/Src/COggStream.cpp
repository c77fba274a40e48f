#include "COggStream.h"

#include <vorbis/vorbisfile.h>

#include <cerrno>
#include <cstdio>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace Vantorel
{
namespace Kelm
{
namespace
{
const long kChunkFrames = 1024;
// Decoded frames already played are dropped once this many have gathered.
const std::uint64_t kCompactFrames = 8192;

const char* vorbisError(int code)
{
    switch (code)
    {
    case OV_EREAD: return "read error";
    case OV_ENOTVORBIS: return "not Ogg Vorbis data";
    case OV_EVERSION: return "unsupported Vorbis version";
    case OV_EBADHEADER: return "broken Vorbis header";
    case OV_EFAULT: return "decoder fault";
    default: return "cannot be decoded";
    }
}
}

struct COggStream::Decoder
{
    OggVorbis_File file;
    bool isOpen = false;
    std::string path;
    int rate = 0;
    bool looped = false;
    bool endOfData = false;        // the decoder will give no more frames
    bool finished = false;
    bool framesSinceRewind = false;
    std::vector<float> frames;     // decoded stereo frames, interleaved
    std::uint64_t position = 0;    // 32.32 fixed point, in frames of the buffer
    std::uint64_t step = 0;        // source frames per output frame, 32.32

    ~Decoder()
    {
        if (isOpen)
            ov_clear(&file);
    }

    std::uint64_t buffered() const { return frames.size() / 2; }

    // Decodes until at least count frames are buffered or the data ends.
    void fill(std::uint64_t count)
    {
        int holes = 0;
        while (buffered() < count && !endOfData)
        {
            float** pcm = nullptr;
            int link = 0;
            long got = ov_read_float(&file, &pcm, kChunkFrames, &link);
            if (got > 0)
            {
                vorbis_info* info = ov_info(&file, link);
                int channels = info ? info->channels : 1;
                const float* left = pcm[0];
                const float* right = channels > 1 ? pcm[1] : pcm[0];
                for (long i = 0; i < got; ++i)
                {
                    frames.push_back(left[i]);
                    frames.push_back(right[i]);
                }
                framesSinceRewind = true;
            }
            else if (got == 0)
            {
                // End of the file: a looped stream starts again, unless the
                // last pass gave nothing (an empty file would spin forever).
                if (looped && framesSinceRewind && ov_pcm_seek(&file, 0) == 0)
                    framesSinceRewind = false;
                else
                    endOfData = true;
            }
            else if (got == OV_HOLE && ++holes < 64)
            {
                // A gap in the data: decoding goes on after it.
            }
            else
            {
                std::printf("Audio: decoding of %s stopped: %s\n", path.c_str(), vorbisError(static_cast<int>(got)));
                std::fflush(stdout);
                endOfData = true;
            }
        }
    }
};

COggStream::COggStream() : decoder(new Decoder) {}

COggStream::~COggStream() = default;

COggStream::OpenResult COggStream::open(const std::string& path, int outputRate, bool looped, std::string& error)
{
    FILE* handle = std::fopen(path.c_str(), "rb");
    if (!handle)
    {
        error = std::strerror(errno);
        return OpenResult::Missing;
    }
    int result = ov_open_callbacks(handle, &decoder->file, nullptr, 0, OV_CALLBACKS_DEFAULT);
    if (result < 0)
    {
        std::fclose(handle);
        error = vorbisError(result);
        return OpenResult::Undecodable;
    }
    decoder->isOpen = true;
    vorbis_info* info = ov_info(&decoder->file, -1);
    if (!info || info->rate <= 0 || info->channels <= 0)
    {
        error = "no audio channels";
        return OpenResult::Undecodable;
    }
    decoder->path = path;
    decoder->rate = static_cast<int>(info->rate);
    decoder->looped = looped;
    decoder->step = (static_cast<std::uint64_t>(decoder->rate) << 32) / static_cast<std::uint64_t>(outputRate);
    if (decoder->step == 0)
        decoder->step = 1;
    return OpenResult::Opened;
}

long COggStream::render(float* mix, long frames, float gain)
{
    Decoder& d = *decoder;
    long produced = 0;
    while (produced < frames && !d.finished)
    {
        std::uint64_t index = d.position >> 32;
        d.fill(index + 2);
        std::uint64_t available = d.buffered();
        if (index >= available)
        {
            // A looped file with no samples plays silence; it never ends.
            d.finished = !d.looped;
            break;
        }
        // Linear interpolation towards the next frame (the last frame holds).
        float fraction = static_cast<float>(d.position & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
        const float* a = &d.frames[index * 2];
        const float* b = index + 1 < available ? a + 2 : a;
        mix[produced * 2] += (a[0] + (b[0] - a[0]) * fraction) * gain;
        mix[produced * 2 + 1] += (a[1] + (b[1] - a[1]) * fraction) * gain;
        d.position += d.step;
        ++produced;
    }

    std::uint64_t index = d.position >> 32;
    if (!d.finished && !d.looped)
    {
        // Finished as soon as the last sample has gone, not at the next call.
        d.fill(index + 1);
        if (index >= d.buffered())
            d.finished = true;
    }
    if (index >= kCompactFrames && index <= d.buffered())
    {
        d.frames.erase(d.frames.begin(), d.frames.begin() + static_cast<std::ptrdiff_t>(index * 2));
        d.position -= index << 32;
    }
    return produced;
}

bool COggStream::finished() const { return decoder->finished; }

int COggStream::sourceRate() const { return decoder->rate; }
}
}

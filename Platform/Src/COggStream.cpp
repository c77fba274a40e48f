#include "COggStream.h"

#include "EscapeControls.h"
#include "RegularFile.h"

#include <vorbis/vorbisfile.h>

#include <cerrno>
#include <cstdio>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
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
    // A run of buffered frames at one sample rate. A chained file (several
    // files joined end to end) may change its rate from one part to the next.
    struct Part
    {
        std::uint64_t start; // first frame of the run in the buffer
        std::uint64_t step;  // source frames per output frame, 32.32
        long rate;
    };

    OggVorbis_File file;
    bool isOpen = false;
    std::string path;
    int rate = 0;
    int outputRate = 0;
    bool looped = false;
    bool endOfData = false;        // the decoder will give no more frames
    bool finished = false;
    bool framesSinceRewind = false;
    std::vector<float> frames;     // decoded stereo frames, interleaved
    std::uint64_t position = 0;    // 32.32 fixed point, in frames of the buffer
    std::deque<Part> parts;        // the first is the one position is in

    ~Decoder()
    {
        if (isOpen)
            ov_clear(&file);
    }

    std::uint64_t buffered() const { return frames.size() / 2; }

    std::uint64_t stepFor(long sourceRate) const
    {
        // Rounded up, so that a part lasts no output frame longer than its length.
        const std::uint64_t out = static_cast<std::uint64_t>(outputRate);
        return ((static_cast<std::uint64_t>(sourceRate) << 32) + out - 1) / out;
    }

    // Frames of another rate than the last ones start a new part.
    void noteRate(long sourceRate)
    {
        if (!parts.empty() && parts.back().rate == sourceRate)
            return;
        parts.push_back(Part{buffered(), stepFor(sourceRate), sourceRate});
    }

    // Moves position into the next part once it has reached it; the time past
    // the boundary is counted again at the new part's pace. True when it moved.
    bool enterNextPart()
    {
        if (parts.size() < 2 || (position >> 32) < parts[1].start)
            return false;
        const std::uint64_t boundary = parts[1].start << 32;
        const double past = static_cast<double>(position - boundary) * static_cast<double>(parts[1].step) /
                            static_cast<double>(parts[0].step);
        position = boundary + static_cast<std::uint64_t>(past);
        parts.pop_front();
        return true;
    }

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
                // Each part of a chained file brings its own rate and channels.
                vorbis_info* info = ov_info(&file, link);
                int channels = info ? info->channels : 1;
                if (info && info->rate > 0)
                    noteRate(info->rate);
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
                std::printf("Audio: decoding of %s stopped: %s\n", Tovrane::escapeControls(path).c_str(),
                            vorbisError(static_cast<int>(got)));
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
    // Only a regular file is played: a pipe or device would be waited on.
    FILE* handle = fopenRegularFile(path.c_str(), "rb", &error);
    if (!handle)
    {
        if (errno == ENODEV || errno == EISDIR)
        {
            error = "it is " + error;
            return OpenResult::Undecodable;
        }
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
    // Reading a chained file straight after the open skips a first part
    // that fits in one page; starting from an explicit seek reads it all.
    if (ov_seekable(&decoder->file) && ov_streams(&decoder->file) > 1 && ov_pcm_seek(&decoder->file, 0) != 0)
    {
        error = "cannot find the start of the audio";
        return OpenResult::Undecodable;
    }
    decoder->path = path;
    decoder->rate = static_cast<int>(info->rate);
    decoder->looped = looped;
    decoder->outputRate = outputRate > 0 ? outputRate : 1;
    decoder->noteRate(decoder->rate);
    return OpenResult::Opened;
}

long COggStream::render(float* mix, long frames, float gain)
{
    Decoder& d = *decoder;
    long produced = 0;
    while (produced < frames && !d.finished)
    {
        do
            d.fill((d.position >> 32) + 2);
        while (d.enterNextPart());
        std::uint64_t index = d.position >> 32;
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
        d.position += d.parts.front().step;
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
        for (Decoder::Part& part : d.parts)
            part.start = part.start > index ? part.start - index : 0;
    }
    return produced;
}

bool COggStream::finished() const { return decoder->finished; }

int COggStream::sourceRate() const { return decoder->rate; }
}
}

#include "OggTone.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace TovraneTools
{
namespace
{
void appendPage(std::string& out, const ogg_page& page)
{
    out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}
}

std::string encodeOggTone(double seconds, double frequency, bool silent, unsigned int seed)
{
    return encodeOgg(std::lround(seconds * OggToneRate), OggToneRate, 1, frequency, silent, seed);
}

std::string encodeOgg(long frames, int rate, int channels, double frequency, bool silent, unsigned int seed)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.1f) != 0)
    {
        vorbis_info_clear(&info);
        return std::string();
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "tovrane-title-gen");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, static_cast<int>(seed & 0x7FFFFFFF));

    std::string out;
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        appendPage(out, page);

    const long total = frames;
    const long fade = std::min<long>(rate / 100, total / 2);  // 10 ms
    unsigned int noise = seed;
    const long chunk = 1024;
    long written = 0;
    bool done = false;
    while (!done)
    {
        long count = std::min(chunk, total - written);
        if (count > 0)
        {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (long i = 0; i < count; ++i)
            {
                long n = written + i;
                float value = 0.0f;
                if (!silent && frequency <= 0.0)
                {
                    noise = noise * 1103515245u + 12345u;
                    value = static_cast<float>((noise >> 16) % 2001) / 4000.0f - 0.25f;
                }
                else if (!silent)
                {
                    double envelope = 1.0;
                    if (n < fade)
                        envelope = static_cast<double>(n) / fade;
                    else if (n >= total - fade)
                        envelope = static_cast<double>(total - 1 - n) / fade;
                    value = static_cast<float>(0.25 * envelope *
                                               std::sin(2.0 * 3.14159265358979 * frequency * n / rate));
                }
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = value;
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            written += count;
        }
        else
            vorbis_analysis_wrote(&dsp, 0);  // end of stream

        while (vorbis_analysis_blockout(&dsp, &block) == 1)
        {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet))
            {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                {
                    appendPage(out, page);
                    if (ogg_page_eos(&page))
                        done = true;
                }
            }
        }
        if (count <= 0 && !done)
        {
            // Everything was handed over; flush whatever is left.
            while (ogg_stream_flush(&stream, &page) != 0)
                appendPage(out, page);
            done = true;
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}
}

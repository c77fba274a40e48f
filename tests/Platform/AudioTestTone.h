#ifndef TESTS_PLATFORM_AUDIOTESTTONE_H
#define TESTS_PLATFORM_AUDIOTESTTONE_H

// Writes Ogg Vorbis test tones of an exact length with libvorbisenc.

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace AudioTestTone
{
// A sine tone of frames sample frames at rate Hz (hertz 0: noise, which
// spreads over many pages); false when it cannot be written.
inline bool write(const std::string& path, long frames, long rate = 44100, int channels = 1, float hertz = 440.0f)
{
    vorbis_info info;
    vorbis_info_init(&info);
    FILE* file = vorbis_encode_init_vbr(&info, channels, rate, 0.3f) == 0 ? std::fopen(path.c_str(), "wb") : nullptr;
    if (!file)
    {
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);

    bool ok = true, endOfStream = false;
    ogg_page page;
    // Writes the pages ready (all of them when flushing) until the last one.
    auto writePages = [&](bool flush) {
        while (!endOfStream && (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) != 0)
        {
            ok = ok && std::fwrite(page.header, 1, page.header_len, file) == static_cast<size_t>(page.header_len);
            ok = ok && std::fwrite(page.body, 1, page.body_len, file) == static_cast<size_t>(page.body_len);
            endOfStream = ogg_page_eos(&page) != 0;
        }
    };
    writePages(true);
    for (long written = 0; !endOfStream;)
    {
        const long chunk = frames - written < 1024 ? frames - written : 1024;
        if (chunk > 0)
        {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(chunk));
            for (long i = 0; i < chunk; ++i)
            {
                const float value = hertz > 0.0f
                    ? 0.5f * std::sin(2.0f * 3.14159265f * hertz * static_cast<float>(written + i) / rate)
                    : static_cast<float>(std::rand() % 2001 - 1000) / 2000.0f;
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = value;
            }
            written += chunk;
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(chunk)); // 0 marks the end
        while (vorbis_analysis_blockout(&dsp, &block) == 1)
        {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet))
            {
                ogg_stream_packetin(&stream, &packet);
                writePages(false);
            }
        }
        if (chunk == 0)
        {
            writePages(true);
            endOfStream = true;
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return std::fclose(file) == 0 && ok;
}

// A fresh folder for one test program's files, ending in "/".
inline std::string makeFolder(const std::string& name)
{
    std::string pattern = std::string(TOVRANE_BINARY_DIR) + "/" + name + "XXXXXX";
    char* made = mkdtemp(&pattern[0]);
    return made ? std::string(made) + "/" : std::string();
}
}

#endif

#ifndef TESTS_UI_UITESTSUPPORT_H
#define TESTS_UI_UITESTSUPPORT_H

// Widgets that write what happens to them into a journal, pictures made of
// plain quads, and a platform audio service that records the click sounds in
// the same journal, so that the order of sounds and widget calls shows.

#include "SceneGraph/SpriteTestSupport.h"

#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Plane.h"
#include "Tovrane/System.h"
#include "Tovrane/UIBase.h"

#include "CAudioMPI.h"
#include "CSystemData.h"
#include "IAudioService.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace UITestSupport
{
typedef std::vector<std::string> Journal;

// A quad covering x left..right, y bottom..top in its parent.
inline Tovrane::PlanePtr picture(int left, int right, int bottom, int top)
{
    return Tovrane::PlanePtr(new Tovrane::Plane(tFixed(left), tFixed(right), tFixed(bottom), tFixed(top), tFixed(0),
                                                tFixed(1), tFixed(0), tFixed(1), 2, 2));
}

// A widget that writes "<name> press x y", "<name> release x y", ... .
class RecordingWidget : public Tovrane::UIBase
{
public:
    RecordingWidget(Journal& journal, const std::string& name, Tovrane::SpatialPtr released,
                    Tovrane::SpatialPtr pressed = Tovrane::SpatialPtr())
        : UIBase(released, pressed), journal(journal), widgetName(name)
    {
    }

    void onPress(int x, int y) override { add("press " + std::to_string(x) + " " + std::to_string(y)); }
    void onRelease(int x, int y) override { add("release " + std::to_string(x) + " " + std::to_string(y)); }
    void onRolloff(int x, int y) override { add("rolloff " + std::to_string(x) + " " + std::to_string(y)); }
    void onHighlight() override { add("highlight"); UIBase::onHighlight(); }
    void onUnHighlight() override { add("unhighlight"); UIBase::onUnHighlight(); }
    void onSelect() override { add("select"); }

private:
    void add(const std::string& what) { journal.push_back(widgetName + " " + what); }

    Journal& journal;
    std::string widgetName;
};

// A widget covering x left..right, y bottom..top (world units, y up), with a
// highlight picture when asked.
inline boost::shared_ptr<RecordingWidget> widget(Journal& journal, const std::string& name, int left, int right,
                                                 int bottom, int top, bool withHighlight = false)
{
    boost::shared_ptr<RecordingWidget> w(new RecordingWidget(journal, name, picture(left, right, bottom, top)));
    if (withHighlight)
    {
        w->highlight = picture(left, right, bottom, top);
        w->highlight->cullingMode = Tovrane::CullingMode::Hide;
        w->addChild(w->highlight);
    }
    return w;
}

// Every file exists; starts and stops go to the journal as "sound <file>"
// (the name without its folder) and "stop sound".
class RecordingAudio : public Vantorel::Kelm::IAudioService
{
public:
    explicit RecordingAudio(Journal& journal) : journal(journal) {}

    void SetMasterVolume(Vantorel::Kelm::tAudioVolume) override {}
    void SetPriorityPolicy(Vantorel::Kelm::tPriorityPolicy) override {}
    Vantorel::Kelm::tAudioID StartAudio(const std::string& path, Vantorel::Kelm::tAudioPriority,
                                        Vantorel::Kelm::tAudioVolume, Vantorel::Kelm::tAudioPan,
                                        Vantorel::Kelm::IEventListener*, Vantorel::Kelm::tAudioPayload,
                                        Vantorel::Kelm::tAudioOptionsFlags) override
    {
        journal.push_back("sound " + path.substr(path.find_last_of('/') + 1));
        playing = ++lastID;
        return playing;
    }
    void StopAudio(Vantorel::Kelm::tAudioID id, bool) override
    {
        if (id == playing)
        {
            journal.push_back("stop sound");
            playing = Vantorel::Kelm::kNoAudioID;
        }
    }
    bool IsAudioPlaying(Vantorel::Kelm::tAudioID id) override { return id == playing; }
    bool IsAudioPlaying() override { return playing != Vantorel::Kelm::kNoAudioID; }
    void SetAudioVolume(Vantorel::Kelm::tAudioID, Vantorel::Kelm::tAudioVolume) override {}
    void PauseAudioSystem() override {}
    void ResumeAudioSystem() override {}

private:
    Journal& journal;
    Vantorel::Kelm::tAudioID lastID = 0;
    Vantorel::Kelm::tAudioID playing = Vantorel::Kelm::kNoAudioID;
};

// A journal that tests read line by line.
class JournalFixture : public ::testing::Test
{
protected:
    // The journal since the last call.
    Journal take()
    {
        Journal lines;
        lines.swap(journal);
        return lines;
    }

    Journal journal;
};

// Installs the recording audio service and makes an audio player on it.
class AudioFixture : public JournalFixture
{
protected:
    void SetUp() override
    {
        SpriteTestSupport::titleFolder();
        previous = Vantorel::Kelm::CAudioMPI::SetService(std::make_shared<RecordingAudio>(journal));
        audio.reset(new Tovrane::AudioPlayer);
    }

    void TearDown() override
    {
        audio.reset();
        Vantorel::Kelm::CAudioMPI::SetService(previous);
    }

    std::shared_ptr<Vantorel::Kelm::IAudioService> previous;
    std::unique_ptr<Tovrane::AudioPlayer> audio;
};
}

#endif

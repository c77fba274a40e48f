// The speech of a task: hints after wrong answers, instructions in writing
// lessons, praise after finished lines and the closing praise of a writing
// lesson.
#include "Resources/Lessons/Task.h"

#include "Resources/Lessons/TaskStudioState.h"
#include "Tovrane/AudioPlayer.h"

namespace Tovrane
{
namespace
{
typedef std::vector<std::string> Names;

// Hint pools by location, first match wins; the general pools follow.
struct LocationPool
{
    int first;
    int last;
    Names names;
};

const LocationPool locationPools[] = {
    {38, 38, {"h_VIDORIV_StartHrAndDrwALnTHr_3.ogg", "h_VIDORIV_StartHrAndKpYrStylsR_3.ogg"}},
    {41, 41, {"h_VIDORIV_StartHrAndDrwALnTHr_3.ogg", "h_VIDORIV_StartHrAndKpYrStylsR_3.ogg"}},
    {39, 40, {"h_REVAD_StartHrAndDrwALnTHr_3.ogg", "h_REVAD_StartHrAndKpYrStylsRgh_3.ogg"}},
    {42, 44, {"h_SCRIVLET_StartHrAndDrwALnTHr_3.ogg", "h_SCRIVLET_StartHrAndKpYrStyls_1.ogg"}},
    {28, 31, {"h_ZUDARAZE_Oops_5.ogg", "h_ZUDARAZE_TryAgain_3.ogg", "h_ZUDARAZE_NotQuite_3.ogg"}},
    {32, 37, {"h_SCRIVLET_StartHrAndDrwALnTHr_3.ogg", "h_SCRIVLET_StartHrAndKpYrStyls_1.ogg"}},
    {47, 47, {"h_VIDORIV_ThatsNtQtClmClrWrLkn_3.ogg", "h_VIDORIV_TapPrplOrGrnOnThWhl_3.ogg"}},
    {46, 46, {"h_VIDORIV_ThatsNtQtWldClrWrLkn_3.ogg", "h_VIDORIV_TapGreenOnTheWheel_3.ogg"}},
    {27, 27,
     {"h_SCRIVLET_StartHrAndDrwALnTHr_3.ogg", "h_SCRIVLET_StartHrAndKpYrStyls_1.ogg",
      "h_SCRIVLET_LetsUsThsFnkyGlsssT_5.ogg"}},
    {48, 48, {"h_SCRIVLET_DrawACrclStrtngHr_3.ogg", "h_SCRIVLET_StartHrAndKpYrStyls_1.ogg"}},
};

const Names letterHints = {"h_DIZAVODUV_LetMeHelpYouOut_3.ogg", "h_DIZAVODUV_TakeYrTmAndTkItEsy_3.ogg",
                           "h_DIZAVODUV_IKnowYouCanDoIt_3.ogg"};

const Names generalHints = {"h_SCRIVLET_NotQuite_3.ogg", "h_SCRIVLET_TryAgain_3.ogg", "h_SCRIVLET_LetsTryAgain_3.ogg",
                            "h_SCRIVLET_Oops_5.ogg", "h_SCRIVLET_LetsGvItAnthrTry_3.ogg", "h_VIDORIV_NotQuite_3.ogg",
                            "h_VIDORIV_TryAgain_3.ogg", "h_VIDORIV_LetsGiveItAnotherTry_3.ogg",
                            "h_VIDORIV_GoodTryLetsTryAgain_3.ogg", "h_VIDORIV_Oops_5.ogg", "h_ZUDARAZE_NotQuite_3.ogg",
                            "h_ZUDARAZE_TryAgain_3.ogg", "h_ZUDARAZE_LetsGvItAnthrTry_3.ogg",
                            "h_ZUDARAZE_GoodTryLetsTryAgain_3.ogg", "h_ZUDARAZE_Oops_5.ogg"};

const Names praise = {"h_DIZAVODUV_IDigIt_5.ogg", "h_DIZAVODUV_Amazing_3.ogg", "h_DIZAVODUV_Fantastical_3.ogg",
                      "h_DIZAVODUV_Superb_3.ogg", "h_DIZAVODUV_SuperFine_3.ogg", "h_DIZAVODUV_NowYoureCookin_3.ogg",
                      "h_DIZAVODUV_YouGotIt_3.ogg", "h_DIZAVODUV_NiceWork_5.ogg"};

// Entry n serves answer code n + 2; off the line (4) picks one of the first two.
const Names instructions = {"h_SCRIVLET_StartHrAndDrwALnTHr_3_v0.ogg", "h_SCRIVLET_StartHrAndKpYrStyls_3.ogg", "",
                            "h_SCRIVLET_PutTheDotHere_3.ogg"};

// Closing praise of a writing lesson, each a quarter of the draws from 1000.
const char* const closingPraise[4] = {"h_SCRIVLET_ThatsRight_5.ogg", "h_SCRIVLET_NiceWork_5.ogg",
                                      "h_SCRIVLET_GreatWriting_5.ogg", "h_SCRIVLET_Scrivtastic_5.ogg"};

// Colour hints by requirement: "tap the colour" and "that is not the colour".
const char* tapHint(int colour)
{
    switch (colour)
    {
    case 0: return "h_VIDORIV_TapRedOnTheWheel_3.ogg";
    case 1: return "h_VIDORIV_TapBlueOnTheWheel_3.ogg";
    case 2: return "h_VIDORIV_TapYellowOnTheWheel_3.ogg";
    case 3: return "h_VIDORIV_TapPurpleOnTheWheel_3.ogg";
    case 4: return "h_VIDORIV_TapGreenOnTheWheel_3.ogg";
    case 5: return "h_VIDORIV_TapOrangeOnTheWheel_3.ogg";
    case 7: return "h_SCRIVLET_WarmClrsArRdYllwAnd_3.ogg";
    case 8: return "h_SCRIVLET_CoolClrsArBlGrnAndP_3.ogg";
    case 9: return "h_VIDORIV_TapPrplOrGrnOnThWhl_3.ogg";
    default: return nullptr;
    }
}

const char* notThatHint(int colour, int colourEx)
{
    if (colourEx == 1)
        return "h_VIDORIV_ThatsNtQtClmClrWrLkn_3.ogg";
    if (colourEx == 2)
        return "h_VIDORIV_ThatsNtQtWldClrWrLkn_3.ogg";
    if (colour >= 0 && colour <= 5)
        return "h_VIDORIV_ThatsNtClrWrLkngFrTr_3.ogg";
    if (colour == 8)
        return "h_VIDORIV_ThatsNtAClClrTryAgn_3.ogg";
    if (colour == 7)
        return "h_VIDORIV_ThatsNtAWrmClrTryAgn_3.ogg";
    return nullptr;
}

bool isWritingLesson(eTaskType type) { return type == TaskType::WritingLesson || type == TaskType::WritingSubLesson; }
}

int Task::random(unsigned int modulus) const { return static_cast<int>(randomBelow(randomSource, modulus)); }

const std::string* Task::pickWithoutRepeat(const std::vector<std::string>& pool, int& last) const
{
    const int n = static_cast<int>(pool.size());
    if (n == 0)
        return nullptr;
    if (n == 1)
    {
        last = 0;
        return &pool[0];
    }
    const int index = static_cast<int>((static_cast<unsigned int>(last) + 1u + random(n - 1)) % n);
    last = index;
    return &pool[index];
}

void Task::initCASpeech() { caSpeech.insert(caSpeech.end(), praise.begin(), praise.end()); }

void Task::initWASpeech(const eTaskType& type)
{
    waSpeech.clear();
    waInstrSpeech = instructions;
    const int where = owner->getLocation();
    for (const LocationPool& pool : locationPools)
        if (where >= pool.first && where <= pool.last)
        {
            waSpeech = pool.names;
            return;
        }
    waSpeech = type == TaskType::LocationTask || type == TaskType::AdvancedLesson ? generalHints : letterHints;
}

void Task::initEpilogueSpeech(const eTaskType& type)
{
    if (!isWritingLesson(type))
        return;
    epilogue.clear();
    epilogue.push_back(closingPraise[random(1000) / 250]);
}

void Task::say(const std::string& name)
{
    if (owner->getTaskType() == TaskType::AdvancedLesson)
    {
        owner->pendingHintSpeech = name;
        owner->hintSpeechPending = true;
        owner->advanceLessonStartTalk();
    }
    else if (audio)
    {
        audio->playSpeech(name);
    }
}

void Task::playWASpeech(const int& line, const bool& force)
{
    if (audio)
        audio->stopSpeech();
    const eTaskType type = owner->getTaskType();
    if (type == TaskType::LetterTask)
        hintCountdown = 0;
    if (!force && isWritingLesson(type))
        return;

    const bool known = line >= 0 && line < static_cast<int>(lines.size());
    if (known && !lines[line].fillMaskImage.empty())
    {
        const TaskLine& colouring = lines[line];
        const char* hint = hintAlternation == 1 ? tapHint(colouring.fillColorReq)
                                                : notThatHint(colouring.fillColorReq, colouring.fillColorReqEx);
        if (hint)
            say(hint);
        hintAlternation = (hintAlternation + 1) % 2;
        return;
    }

    hintCountdown -= 1;
    if (hintCountdown > 0)
        return;
    if (const std::string* hint = pickWithoutRepeat(waSpeech, lastHintPick))
        say(*hint);
    hintCountdown = 2 + random(2);
}

void Task::playWAInstrSpeech()
{
    if (!isWritingLesson(owner->getTaskType()))
        return;
    if (audio)
        audio->stopSpeech();
    std::string name;
    if (answer == 4)
        name = waInstrSpeech[random(2)];
    else if (answer == 2 || answer == 3 || answer == 5)
        name = waInstrSpeech[answer - 2];
    if (!name.empty() && audio)
        audio->playSpeech(name);
}

std::vector<std::string> Task::getCASpeech(const int& line)
{
    if (owner->getTaskType() != TaskType::LetterTask)
        return line >= 0 && line < static_cast<int>(lines.size()) ? lines[line].caAudio : Names();
    const std::string* pick = pickWithoutRepeat(caSpeech, lastPraisePick);
    return pick ? Names{*pick} : Names();
}
}

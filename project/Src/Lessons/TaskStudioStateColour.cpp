// The other kinds of task line: dragging a picture to its target, picking a
// colour on the pie and colouring the marked area with it; and the lesson
// guide's talk around the hints these lines give.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Layer.h"
#include "Resources/Studio/ColorPie.h"
#include "Resources/Studio/Studio.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/GameLog.h"
#include "Tovrane/PackedPixel.h"
#include "Tovrane/RandomSource.h"

#include <algorithm>
#include <iostream>

namespace Tovrane
{
namespace
{
const ColorRGBA<unsigned char> black(0, 0, 0, 255);

bool isMaskWhite(const ColorRGBA<unsigned char>& pixel)
{
    return pixel.r > 199 && pixel.g > 199 && pixel.b > 199 && pixel.a > 199;
}

// One row of an RGBA8888 mask against an RGBA5551 picture: white mask pixels
// whose picture pixel has the wanted red, green and blue bits, and the others.
TOVRANE_ROW_LOOP void countRow(const unsigned char* __restrict mask, const unsigned char* __restrict picture, int n,
                               std::uint16_t wanted, int& coloured, int& white)
{
    int onArea = 0, same = 0;
    for (int i = 0; i < n; ++i)
    {
        const unsigned char* m = mask + 4 * i;
        const int inside = (m[0] > 199) & (m[1] > 199) & (m[2] > 199) & (m[3] > 199);
        const int match = (loadPixel16(picture + 2 * i) & 0xFFFE) == wanted;
        onArea += inside;
        same += inside & match;
    }
    coloured += same;
    white += onArea - same;
}

void blink(const SpatialPtr& picture, int count)
{
    if (picture)
        picture->cullingMode = count % 2 == 1 ? CullingMode::Hide : CullingMode::Show;
}
}

bool TaskStudioState::isRightColor(int requirement, int pick)
{
    switch (requirement)
    {
    case 7: return pick == 0 || pick == 2 || pick == 5;
    case 8: return pick == 1 || pick == 3 || pick == 4;
    case 9: return pick == 3 || pick == 4;
    default: return requirement >= 0 && requirement <= 5 && pick == requirement;
    }
}

void TaskStudioState::countColorFill(const Texture& mask, const Texture& picture, int x0, int y0, int w, int h,
                                     const ColorRGBA<unsigned char>& colour, int& coloured, int& white)
{
    coloured = 0;
    white = 0;
    // Only pixels inside the box, the mask and the picture are read.
    const int left = std::max(x0, 0), top = std::max(y0, 0);
    const int right = static_cast<int>(std::min<long long>(static_cast<long long>(x0) + w,
                                                           std::min(mask.getWidth(), picture.getWidth())));
    const int bottom = static_cast<int>(std::min<long long>(static_cast<long long>(y0) + h,
                                                            std::min(mask.getHeight(), picture.getHeight())));
    if (mask.getFormat() == PixelFormat::RGBA8888 && picture.getFormat() == PixelFormat::RGBA5551)
    {
        // The picture's 5-bit channels read back as multiples of 8; another
        // colour can match no pixel.
        const bool possible = colour.r % 8 == 0 && colour.g % 8 == 0 && colour.b % 8 == 0;
        const std::uint16_t wanted = static_cast<std::uint16_t>(
            PackedPixel<PixelFormat::RGBA5551>::fromWord(ColourWord::fromColour(colour)) & 0xFFFE);
        for (int y = top; y < bottom && right > left; ++y)
        {
            int same = 0, other = 0;
            countRow(mask.getPixels() + static_cast<std::ptrdiff_t>(y) * mask.getPitch() + left * 4,
                     picture.getPixels() + static_cast<std::ptrdiff_t>(y) * picture.getPitch() + left * 2, right - left, wanted,
                     same, other);
            coloured += possible ? same : 0;
            white += possible ? other : same + other;
        }
        return;
    }
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
        {
            if (!isMaskWhite(mask.getPixel(x, y)))
                continue;
            const ColorRGBA<unsigned char> pixel = picture.getPixel(x, y);
            if (pixel.r == colour.r && pixel.g == colour.g && pixel.b == colour.b)
                ++coloured;
            else
                ++white;
        }
}

bool TaskStudioState::verifyColorFill()
{
    TaskLine* line = currentTaskLine();
    if (!line || !line->fillMaskTexture || !studio)
        return false;
    const TexturePtr picture = studio->canvas->getLayer()->getTexture();
    int x0 = line->fillBox.x.getRaw() >> 16, y0 = line->fillBox.y.getRaw() >> 16;
    int w = line->fillBox.w.getRaw() >> 16, h = line->fillBox.h.getRaw() >> 16;
    // A box of no size in the file stands for the whole picture.
    if (line->fillBox.w.getRaw() == 0 && line->fillBox.h.getRaw() == 0)
    {
        x0 = y0 = 0;
        w = picture->getWidth();
        h = picture->getHeight();
    }
    int coloured = 0, white = 0;
    countColorFill(*line->fillMaskTexture, *picture, x0, y0, w, h, chosenColor, coloured, white);
    std::cout << "COLOR_FILL - COLORED: " << coloured << ", WHITE: " << white << std::endl;
    return coloured > 5 * white;
}

void TaskStudioState::setStep(int newStep)
{
    step = newStep;
    stateStartTime = currentTime;
    stateChanged = false;
}

void TaskStudioState::updateTaskPickup()
{
    TaskLine* line = currentTaskLine();
    if (step == 0)
    {
        task->newAnswer();
        touchStage = 1;
        blinkCount = 0;
        setStep(1);
    }
    else if (step == 1 && currentTime - stateStartTime > 249)
    {
        if (line)
            blink(line->pickup.beginSprite, blinkCount);
        blinkCount = (blinkCount + 1) % 2;
        setStep(1);
    }
    if (touchStage == 0)
    {
        GameLog::correctAnswer(line ? line->questionID : 0, "", "");
        audioPlayer->playSfx(BaseAudio::CorrectAnswer);
        setState(TaskOutro, 0);
    }
}

void TaskStudioState::updateTaskPickColor()
{
    TaskLine* line = currentTaskLine();
    if (!line)
        return;
    switch (step)
    {
    case 0:
        colorPieRoot->cullingMode = CullingMode::Show;
        colorPie->cullingMode = CullingMode::Show;
        colorPie->reset();
        uiPicker.elements.clear();
        uiPicker.addUIElements(colorPieRoot);
        colorChosen = false;
        setStep(1);
        break;
    case 1:
        if (!colorChosen)
            break;
        studio->setForegroundColor(chosenColor);
        setStep(2);
        // The judgement runs in the same frame.
        updateTaskPickColor();
        break;
    case 2:
        setStep(isRightColor(line->fillColorReq, chosenColorNumber) ? 10 : 20);
        updateTaskPickColor();
        break;
    case 10:
        GameLog::correctAnswer(line->questionID, "", "");
        audioPlayer->playSfx(BaseAudio::CorrectAnswer);
        setStep(11);
        break;
    case 11:
        if (audioPlayer->isSpeechPlaying() || currentTime - stateStartTime < 1000)
            break;
        studio->setForegroundColor(black);
        colorPieRoot->cullingMode = CullingMode::Hide;
        uiPicker.elements.clear();
        uiPicker.addUIElements(sceneRoot);
        setState(TaskFillArea, 0);
        break;
    case 20:
        if (++wrongCount == 3)
            GameLog::wrongAnswer(line->questionID, "", "");
        audioPlayer->playSfx(BaseAudio::WrongAnswer);
        task->playWASpeech(currentLine, false);
        setStep(21);
        break;
    case 21:
        if (taskType == TaskType::AdvancedLesson)
        {
            if (lessonCharacterController && !lessonCharacterController->isAnimationQueueEmpty())
                break;
            advanceLessonDoTalk();
            setStep(22);
        }
        else if (!audioPlayer->isSpeechPlaying())
            setStep(0);
        break;
    case 22:
        if (audioPlayer->isSpeechPlaying())
            break;
        advanceLessonShutup();
        setStep(0);
        break;
    default: break;
    }
}

void TaskStudioState::updateTaskFillArea()
{
    TaskLine* line = currentTaskLine();
    switch (step)
    {
    case 0:
        studio->setForegroundColor(chosenColor);
        task->newAnswer();
        setStep(1);
        touchStage = 1;
        blinkCount = 0;
        fillStrokeOpen = false;
        break;
    case 1:
        if (currentTime - stateStartTime <= 249)
            break;
        if (line)
            blink(line->dashedOverlay, blinkCount);
        if (++blinkCount >= 10)
        {
            if (line && line->dashedOverlay)
                line->dashedOverlay->cullingMode = CullingMode::Show;
            setStep(2);
        }
        else
            setStep(1);
        break;
    case 20:
        advanceLessonStartTalk();
        setStep(21);
        break;
    case 21:
        if (lessonCharacterController && !lessonCharacterController->isAnimationQueueEmpty())
            break;
        advanceLessonDoTalk();
        setStep(22);
        break;
    case 22:
        if (audioPlayer->isSpeechPlaying())
            break;
        advanceLessonShutup();
        setStep(0);
        break;
    default: break;
    }
    if (touchStage == 0)
    {
        studio->setForegroundColor(black);
        zoomOut();
        audioPlayer->playSfx(BaseAudio::CorrectAnswer);
        setState(TaskOutro, 0);
    }
}

void TaskStudioState::processTouchEvent_FillArea(const Vantorel::Kelm::tTouchData& touch)
{
    TaskLine* line = currentTaskLine();
    if (!line || !line->fillMaskTexture || !studio)
        return;
    const Texture& mask = *line->fillMaskTexture;
    const int x = touch.x, y = touch.y;
    Vector2<tFixed> pos;
    studio->canvas->actualXY(x, y, pos.x, pos.y);
    const std::int64_t px = pos.x.getRaw(), py = pos.y.getRaw();
    if (px < 0 || py < 0 || px >= static_cast<std::int64_t>(mask.getWidth()) << 16 ||
        py >= static_cast<std::int64_t>(mask.getHeight()) << 16)
        return;
    const bool onArea = isMaskWhite(mask.getPixel(static_cast<int>(px >> 16), static_cast<int>(py >> 16)));

    if (touchStage == 1 && lastTouchState == 0 && touch.touchState == 1)
    {
        if (onArea)
        {
            fillStrokeOpen = true;
            lastFillPoint = Vector2<short>(static_cast<short>(x), static_cast<short>(y));
            studio->handleTouchEvent(x, y, 1);
        }
        touchStage = 2;
        return;
    }
    if (touchStage != 2 || lastTouchState != 1)
        return;
    if (touch.touchState == 1)
    {
        if (onArea)
        {
            fillStrokeOpen = true;
            lastFillPoint = Vector2<short>(static_cast<short>(x), static_cast<short>(y));
            studio->handleTouchEvent(x, y, 1);
        }
        return;
    }
    if (touch.touchState != 0)
        return;
    if (onArea)
    {
        fillStrokeOpen = false;
        studio->handleTouchEvent(x, y, 0);
    }
    if (fillStrokeOpen)
        studio->handleTouchEvent(lastFillPoint.x, lastFillPoint.y, 0);
    fillStrokeOpen = false;
    if (verifyColorFill())
    {
        setStep(2);
        touchStage = 0;
        return;
    }
    const char* speech = randomBelow(Task::randomSource, 1000) < 500 ? "h_VIDORIV_KeepColoring_5.ogg"
                                                                      : "h_VIDORIV_KeepClrngUntlArIsFll_3.ogg";
    if (taskType == TaskType::AdvancedLesson)
    {
        pendingHintSpeech = speech;
        hintSpeechPending = true;
        setStep(20);
    }
    else
    {
        audioPlayer->playSpeech(speech);
        setStep(0);
    }
    touchStage = 1;
}
}

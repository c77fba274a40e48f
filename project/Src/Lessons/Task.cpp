#include "Resources/Lessons/Task.h"

#include <iostream>

namespace Tovrane
{
RandomSource Task::randomSource;
int Task::lastHintPick = 0;
int Task::lastPraisePick = 0;

Task::Task(const std::string& path, TaskStudioState* studio)
    : owner(studio), taskQuestionID(0), debugDraw(0), answer(0), hintCountdown(3), hintAlternation(0),
      audio(nullptr)
{
    if (path.empty())
    {
        fault = "no task file";
        return;
    }
    if (!read(path))
        std::cout << "Refused task file " << path << ": " << fault << std::endl;
}

Task::~Task() = default;

void Task::enter()
{
    for (TaskLine& line : lines)
        line.enter();
}

void Task::exit()
{
    for (TaskLine& line : lines)
        line.exit();
    // The controllers go to the characters of the next load.
    for (DoodleStruct& character : characters)
    {
        if (character.character)
            character.character->removeController(character.controller);
        character.character.reset();
    }
}

void Task::newQuestion() { hintAlternation = 0; }

void Task::newAnswer()
{
    std::cout << "NEW ANSWER" << std::endl;
    answer = 0;
    for (TaskLine& line : lines)
        line.newAnswer();
}
}

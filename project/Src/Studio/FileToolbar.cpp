#include "Resources/Studio/FileToolbar.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, FileToolbar, Toolbar);

const FileToolbar::ClickHandler FileToolbar::fileClicks[3] = {&FileToolbar::onButtonClick<FileAction::New>,
                                                              &FileToolbar::onButtonClick<FileAction::Save>,
                                                              &FileToolbar::onButtonClick<FileAction::Load>};

FileToolbar::FileToolbar() { initialize(); }

FileToolbar::~FileToolbar() {}

void FileToolbar::initialize()
{
    // Row order differs from the action numbers.
    const struct
    {
        const char* look;
        FileAction::Type action;
    } rows[] = {{"save", FileAction::Save}, {"load", FileAction::Load}, {"new", FileAction::New}};
    for (const auto& row : rows)
    {
        ButtonPtr button = makeButton(row.look);
        button->releaseEvent += new Button::ButtonEvent::MethodDelegate<FileToolbar>(this, fileClicks[row.action]);
        addButton(button, tFixed(32));
    }
}

void FileToolbar::onFileChange(FileAction::Type action) { fileEvent(FileEventArgs(action)); }
}

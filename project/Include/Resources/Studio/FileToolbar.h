#ifndef RESOURCES_FILETOOLBAR_H
#define RESOURCES_FILETOOLBAR_H

#include "Resources/Studio/Toolbar.h"

namespace Tovrane
{
class FileToolbar;
typedef boost::shared_ptr<FileToolbar> FileToolbarPtr;

struct FileAction
{
    enum Type : int
    {
        New = 0,
        Save = 1,
        Load = 2
    };
};

// The file action asked for on the file toolbar.
struct FileEventArgs
{
    explicit FileEventArgs(FileAction::Type action = FileAction::New) : action(action) {}
    FileAction::Type action;
};

// The pop-up file row: save, load and new picture. A release announces the
// action through fileEvent first; then the row hides itself and reports the
// index. The row does no file work itself.
class FileToolbar : public Toolbar
{
    TOVRANE_DECLARE_RTTI(FileToolbar)

public:
    typedef Event<void, const FileEventArgs&> FileEvent;

    FileToolbar();
    ~FileToolbar() override;

    FileEvent fileEvent;

private:
    void initialize();
    template <FileAction::Type T> void onButtonClick(const ButtonEventArgs&) { onFileChange(T); }
    void onFileChange(FileAction::Type action);

    typedef void (FileToolbar::*ClickHandler)(const ButtonEventArgs&);
    // By action number.
    static const ClickHandler fileClicks[3];
};
}

#endif

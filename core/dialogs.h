#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tb {

class OpenErrorBox;

// One entry of a file dialog's filter list: the text the user picks and the pattern of
// the names it shows.
struct FileFilter {
    std::string description;
    std::string pattern;
    bool operator==(const FileFilter&) const = default;
};

// A file-open dialog as a window declares it: its filters in order, the first selected
// when it opens. It is resizable and leaves the current folder alone.
struct TOpenDialog {
    std::vector<FileFilter> filters;
};

// The file dialogs' filters for music files, the first one selected when they open.
inline std::vector<FileFilter> musicFileFilters() {
    return {{"mp3多媒体文件", "*.mp3"}, {"mid多媒体文件", "*.mid"}, {"midi多媒体文件", "*.midi"},
            {"rmi多媒体文件", "*.rmi"}, {"wav多媒体文件", "*.wav"}, {"mp2多媒体文件", "*.mp2"},
            {"所有文件", "*.*"}};
}

// Every message box and file dialog goes through here, so that tests can answer them.
// Texts are UTF-8; a chosen file comes back as the path's UTF-8 text.
class DialogService {
public:
    virtual ~DialogService() = default;

    // Error icon, one OK button, modal for all of the program's windows. The box shows
    // the box's text as it changes while it is open.
    virtual void errorBox(OpenErrorBox& box, const std::string& caption) = 0;

    // Question icon, Yes and No, no owner window: the program's windows stay usable
    // while it is open. True for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;

    // Question icon and only an OK button, no owner window.
    virtual void askOk(const std::string& text, const std::string& caption) = 0;

    // The chosen file's full path, or nothing when the user cancels.
    virtual std::optional<std::string> openFile(const TOpenDialog& dialog) = 0;

    // A modal message: the text and one OK button, centred on the screen.
    virtual void message(const std::string& text, const std::string& caption) = 0;

    // A modal question with Yes and No, centred on the screen. True for Yes.
    virtual bool confirm(const std::string& text, const std::string& caption) = 0;
};

// The service the handlers use: the one the front end installed at start (or a test's).
DialogService& dialogs();
// Installs a service; answers the one it replaces.
DialogService* setDialogs(DialogService* service);

}  // namespace tb

#pragma once

// Where to save a file the program writes besides its data file (an export): the
// desktop's save dialog, reached through the modal runner so that tests can answer it.

#include <optional>
#include <string>

namespace win {

class CWnd;

struct PictureSize {
    int width = 0;
    int height = 0;
};

struct SaveFileRequest {
    std::string title;
    // The folder the dialog opens in and the name it suggests.
    std::string folder;
    std::string fileName;
    // "CSV files (*.csv)"; the suffix is added to a name typed without one ("csv").
    std::string filter;
    std::string suffix;
    // When set, the dialog asks for a picture size too, starting from this one; the size
    // chosen comes back here.
    std::optional<PictureSize> pictureSize;
};

// The picture sizes the dialog offers, in pixels on each side.
inline constexpr int kMinimumPictureSide = 16;
inline constexpr int kMaximumPictureSide = 10000;

// The path chosen, or nothing when the user cancelled. Confirms replacing a file.
std::optional<std::string> GetSaveFileName(CWnd* owner, SaveFileRequest& request);

// A file to read (an import): the desktop's open dialog, through the modal runner too.
struct OpenFileRequest {
    std::string title;
    std::string folder;
    // "iCalendar files (*.ics)"
    std::string filter;
};

// The existing file chosen, or nothing when the user cancelled.
std::optional<std::string> GetOpenFileName(CWnd* owner, const OpenFileRequest& request);

} // namespace win

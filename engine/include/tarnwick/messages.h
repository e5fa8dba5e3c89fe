#pragma once

// The fixed texts the user sees, exactly as the program has always shown them
// (spelling included: stored files and users' habits rely on them).
namespace tarnwick::messages {

inline constexpr const char* kRootLabel = " - ";
inline constexpr const char* kWebLinksCategory = "Web links";
inline constexpr const char* kEmailsCategory = "E-mails";
inline constexpr const char* kKeywordsCategory = "Key words";
inline constexpr const char* kImagesCategory = "Images links";

inline constexpr const char* kCannotOpen = "Can not open. Check connection and/or existance.";
inline constexpr const char* kPageNotOpening = "Page is not opening. Check connection.";
inline constexpr const char* kPageEmpty = "Page is empty.";
inline constexpr const char* kCannotOpenFile = "Can not open the file.";

inline constexpr const char* kStopQuestion = "Are you sure that  you want to stop right now?";
inline constexpr const char* kVolumeQuestion =
    "File size is exceeding of rest volume you expect to download!\n"
    "Yes - stop just now, No - continue and ignore volume limit, Cancel - do only this file and "
    "then ask againg\n\nThis is one time notice for this search.";
inline constexpr const char* kNoConnection =
    "It seems that internet connection is not establisched\nCheck it and try again";

inline constexpr const char* kAddressEmpty =
    "The WEB URL has to be filled.\nPrint or paste some and try again.";
inline constexpr const char* kAddressSchemeMissing =
    "It's look like that 'http://' or 'https://' is missing in the address.\nDo correct and try "
    "again.";

inline constexpr const char* kNoFileChosen = "No file to search is chosen";
inline constexpr const char* kSearchObjectUndetermined = "Search object is not properly determined.";

inline constexpr const char* kChooseSameOption = "Choose same option to save and try again.";
inline constexpr const char* kSavingFileCannotOpen = "Saving file can not be open.";
// Ours: a write that broke off (disk full) must not pass for a save.
inline constexpr const char* kSavingFileWriteFailed =
    "The saving file could not be written completely; it was left as it was.";
// Ours: the same when the file had to be overwritten in place (its folder
// takes no new file), so its old content is lost.
inline constexpr const char* kSavingFileCutShort =
    "The saving file could not be written completely; it is cut short.";
inline constexpr const char* kNoLinksFound =
    "No links are found.\n\nCheck format the file with the list of links.\n"
    "It has to be text file with one link per line.";

inline constexpr const char* kAutoupdateCheckUrl = "Check url and try again";
inline constexpr const char* kAutoupdateNoNeed = "You have no needs to autoupdate this page. Really.";
inline constexpr const char* kAutoupdatePeriodInvalid = "Update period is not valid.";
// Ours: the minutes edit takes whole numbers only.
inline constexpr const char* kEnterInteger = "Please enter an integer.";
// Ours: the browser is given web addresses only, never a program or a file.
inline constexpr const char* kNotWebAddress =
    "Only addresses that begin with http:// or https:// are opened in the browser.";
inline constexpr const char* kDownloadCheckUrl = "Check URL and try again";
inline constexpr const char* kNotLink = "It's not link";
inline constexpr const char* kNotForDeleting = "This item not for deleting";

}  // namespace tarnwick::messages

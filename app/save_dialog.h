#pragma once
// The save dialog (SaveDialog1): asks for the name a track is saved under.

#include <QString>
#include <optional>

class QWidget;

// Shows the dialog modally; the name chosen, or nothing when cancelled. It
// opens in the folder of lastName while that exists, else in the user's
// music folder, else in home, offers suggestedName there, and asks before
// the track would replace a file.
std::optional<QString> RunSaveDialog(QWidget* parent, const QString& lastName,
                                     const QString& suggestedName);

// A folder as the dialogs' last name: their start folder is the name's.
QString FolderAsLastName(const QString& folder);

// Asks for the folder several tracks are saved in (FolderDialog1), starting
// where the save dialog would; nothing when cancelled.
std::optional<QString> RunFolderDialog(QWidget* parent, const QString& lastName,
                                       const QString& caption);

#pragma once
// The two boxes every window shows: the message box and the default error
// display. Both are modal, take the application's title as caption, show
// their text as plain text and return when dismissed.

#include <QMessageBox>
#include <exception>
#include <string>

#include "message.h"

// The window that owns a box when no dialog or window is active.
void SetBoxOwner(QWidget* mainWindow);

// The caption of every box: the application's title (Windows-1251).
void SetBoxCaption(const std::string& caption);

// Centred on the screen, no icon, the text (Windows-1251) wrapped at half
// the screen's width, one "OK" that Enter and Esc both press. Both boxes
// are wide enough for their caption and have a fixed size.
void ShowMessage(const std::string& text);
// The same for a message of parts.
void ShowMessage(const TMessage& text);

// Keeps a message box at least as wide as its caption needs: a title bar
// would cut it.
void WidenForCaption(QMessageBox& box);

// A question with "Да" and "Нет", "Нет" the default and Esc's answer,
// made for the parent and not yet shown: the caller opens it and acts on
// its `finished` (QMessageBox::Yes or QMessageBox::No). It is deleted once
// closed.
QMessageBox* MakeQuestion(QWidget* parent, const std::string& text);

// The error icon, one "OK" and the failure's words (`WindowMessageOf`)
// with their closing period.
void ShowException(const std::exception& error);

// The message as the error display shows it: a "." is appended when the
// last byte is greater than "." (letters, digits, "?"), not after ".", "!",
// ")" or a space.
TMessage ErrorDisplayText(TMessage message);

// Runs a command or creation handler; an exception that escapes it ends it
// and is shown, and the program goes on.
template <class Handler>
void RunGuarded(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowException(error);
  }
}

// The same as a slot for any signal.
template <class Handler>
auto Guarded(Handler handler) {
  return [handler = std::move(handler)] { RunGuarded(handler); };
}

// The captions of the toolkit's standard dialogs (buttons, box titles, help
// texts), switched with the interface language. A front end reads the current
// table whenever it builds a standard box.
#pragma once

#include <array>
#include <optional>
#include <string>

enum class TDialogCaption {
    ButtonOK,
    ButtonCancel,
    ButtonYes,
    ButtonNo,
    ButtonHelp,
    ButtonClose,
    ButtonIgnore,
    ButtonRetry,
    ButtonAbort,
    ButtonAll,
    TitleWarning,
    TitleError,
    TitleInformation,
    TitleConfirm,
    MessageYes,
    MessageNo,
    MessageOK,
    MessageCancel,
    MessageHelp,
    NoHelpAvailable,
    Help,
    MessageAbort,
    MessageRetry,
    MessageIgnore,
    MessageAll,
    MessageNoToAll,
    MessageYesToAll,
};

inline constexpr std::size_t DialogCaptionCount = 27;
using TDialogCaptions = std::array<const char*, DialogCaptionCount>;

// The built-in English texts.
const TDialogCaptions& EnglishDialogCaptions();
// The table of a language code (any case), or nothing for a code without one.
std::optional<TDialogCaptions> DialogCaptionsFor(const std::string& code);

// Switches to the table of `code`; a code without a table restores English.
void SetDialogCaptions(const std::string& code);
const TDialogCaptions& CurrentDialogCaptions();
std::string DialogCaption(TDialogCaption which);

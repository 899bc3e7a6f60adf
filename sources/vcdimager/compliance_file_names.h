// File-name rules shared by every chooser and tool command of the program:
// names handed to the tools, input and output file checks, and the file
// dialogs with their remembered folders. Every refusal is an error box.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "lib/text.h"

// A network share name ("\\server\...") with forward slashes; others unchanged.
std::string ToolFileName(const std::string& name);

// Refuses "'", "`" and "$", which the still-picture command lines cannot quote.
bool CheckShellCharacters(const std::string& name);

// An existing (when `mustExist`) file named with its full path.
bool CheckInputFileName(const std::string& name, const std::string& kindName, bool mustExist);
// The same, and one of the extensions (without the dot, any case).
bool CheckInputFileNameExt(const std::string& name, const TStringList& extensions, bool mustExist);
// "MPEG/MPG/M1P/M2P" for {"mpeg", "mpg", "m1p", "m2p"}.
std::string ExtensionsKindName(const TStringList& extensions);

// Lets the user choose an input file; a valid choice goes into `edit` and its
// folder becomes `lastFolder`. False when nothing was chosen.
bool BrowseInputFile(const std::string& kindName, const std::string& filter, std::string& edit,
                     std::string& lastFolder);

// The cleaned name (surrounding quotes removed, trimmed) when it is a full path of a file
// with `extension`; otherwise the refusal is shown and nothing returned.
std::optional<std::string> CheckOutputFileName(const std::string& name, const std::string& extension);

enum class TOutputProblem { None, CannotOverwrite, CannotCreate };
// Whether the file can be written, touching nothing.
TOutputProblem OutputFileProblem(const std::string& name);
// Proves that the file can be written (beside it, under a temporary name, then
// moved into place) without touching an existing one: a folder or a file the
// user may not write is refused. `silent` shows nothing.
bool PrepareOutputFile(const std::string& name, bool silent = false);

// The paths of `paths` that exist now, each once.
TStringList ExistingFiles(const TStringList& paths);
// Asks once whether the existing files may be replaced; true when the list is
// empty or the user said yes. Nothing is replaced without that answer.
bool ConfirmReplacing(const TStringList& existing);

// A name typed or pasted between double quotes without them; any other quote stays.
std::string StripSurroundingQuotes(const std::string& name);

// Lets the user choose an output file; a valid choice goes into `edit` and its
// folder becomes `lastFolder`.
bool BrowseOutputFile(std::string& edit, const std::string& kindName, const std::string& extension,
                      const std::string& defaultName, std::string& lastFolder);

// The overwrite confirmation of one edit: kept for the name it was given for.
struct TOutputConfirmation {
    std::string ConfirmedName;
};
// Accepts the edit's name as the output file: checked, confirmed when the file
// exists (a save dialog asks again), proved writable. Nothing is deleted.
bool ConfirmOutputFile(std::string& edit, const std::string& extension, TOutputConfirmation& confirmation);

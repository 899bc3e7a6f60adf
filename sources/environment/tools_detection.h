// The start-up detection of the external tools: VCDImager, cdrdao with its
// SCSI access layer, and the mjpegtools. Each tool is looked for in the
// program folder's own sub-folder first ("VCDImager", "CDRDAO", "Mjpegtools"),
// then on PATH; its version banner decides whether it is usable, and the user
// is told about what is missing.
#pragma once

#include <optional>
#include <string>

#include "environment/detected_tools.h"
#include "environment/detection_platform.h"
#include "environment/tool_versions.h"
#include "lib/settings.h"
#include "settings/startup_keys.h"

struct TDetectionOptions {
    std::string ProgramFolder;  // empty: the executable's folder
    TStartupKeys Keys;
    TDoNotShowFlags DoNotShow;
    TVersionRules Rules = TVersionRules::Posix;
    std::optional<std::string> SearchPath;         // folders separated by ":"; none: $PATH
    const TDetectionPlatform* Platform = nullptr;  // null: this system
    unsigned QueryTimeoutMs = 15000;               // bound of one version query
};

// The keys and remembered answers of the program's INI file.
TDetectionOptions ReadDetectionOptions(const TStartupKeysReader& reader);
TDetectionOptions ReadDetectionOptions();

// Runs the whole detection into `tools` (reset first). False when the program
// must end: VCDImager is missing or unusable (its message has been shown, or
// suppressed by the user).
bool DetectTools(const TDetectionOptions& options, TDetectedTools& tools);
// The same into the program-wide state.
bool DetectTools(const TDetectionOptions& options);

// What the detection found, one fact per line, for "lumora-cli check".
TStringList ToolsCheckLines(const TDetectedTools& tools);

// The log's summary lines: "GNU VCDImager 2.0.1" or "No GNU VCDImager";
// the cdrdao version line, "CDRDAO disabled" or "No CDRDAO".
std::string VcdImagerStatusText(const TDetectedTools& tools);
std::string CdrdaoStatusText(const TDetectedTools& tools);

// Copies into the settings store what the detection keeps across runs: the
// remembered answers, the cdrdao switches and which layers were present.
void StoreDetectionChoices(const TDetectedTools& tools, TSettings& store);

// How long the main window's settings take to load and save, and what one
// translated message costs.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "lib/safe_file.h"
#include "platform/folders.h"
#include "settings/gui_settings.h"
#include "settings/language.h"

namespace {

class TScratch {
public:
    TScratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumora-bench-XXXXXX").string();
        Folder = mkdtemp(pattern.data()) ? pattern : std::string();
        SetProgramFolderOverride(Folder);
        SetConfigFolderOverride(Folder + "/config");
        SetInstalledDataFolderOverride(Folder + "/data");
    }
    ~TScratch() {
        SetProgramFolderOverride("");
        SetConfigFolderOverride("");
        SetInstalledDataFolderOverride("");
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }
    std::string Folder;
};

void BM_GuiSettingsSaveAndLoad(benchmark::State& state) {
    TScratch scratch;
    TSettings store;
    DeclareGuiSettings(store, "");
    store.Load();
    for (auto _ : state) {
        store.SetValue("WaitTime", static_cast<std::int32_t>(state.iterations() % 100));
        benchmark::DoNotOptimize(store.Save());
        store.Load();
    }
}
BENCHMARK(BM_GuiSettingsSaveAndLoad)->Unit(benchmark::kMillisecond);

void BM_TranslateMessage(benchmark::State& state) {
    TScratch scratch;
    std::string text = "[Language]\nLanguage=Test\nLanguageExt=fr\n[Messages]\n";
    for (int i = 0; i < 500; ++i)
        text += "Message number " + std::to_string(i) + " %s = Message " + std::to_string(i) + " %s\n";
    text += "The project file \"%s\" was modified or is damaged = Le fichier projet \"%s\" est endommag\xC3\xA9\n";
    const std::string path = scratch.Folder + "/lumora_fr.lng";
    SaveFileSafely(path, text);
    ActivateLanguage(true, path);
    const std::string message = "The project file \"%s\" was modified or is damaged";
    for (auto _ : state) benchmark::DoNotOptimize(TranslateMessage(message));
    ActivateLanguage(false);
}
BENCHMARK(BM_TranslateMessage);

}  // namespace

BENCHMARK_MAIN();

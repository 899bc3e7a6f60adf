#include <gtest/gtest.h>

#include "lib/ini_file.h"
#include "lib/safe_file.h"
#include "settings/language.h"
#include "support/folders_scope.h"
#include "support/temp_folder.h"

namespace {

const std::string FrenchPath = std::string(LUMORA_SOURCE_DIR) + "/data/lumora_fr.lng";

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + what.size())) ++count;
    return count;
}

}  // namespace

// The shipped file is read as the program reads it: every message must be
// found and its translation kept, which fails on a lost placeholder or a key
// the file format cannot carry.
TEST(FrenchFile, EveryMessageIsFoundAndKeepsItsPlaceholders) {
    TTempFolder program;
    TFoldersScope folders(program.Path().string(), program.File("config"));
    ResetLanguageState();
    ActivateLanguage(true, FrenchPath);
    ASSERT_TRUE(LanguageActive());
    EXPECT_EQ(GetLanguageCode(), "fr");

    const auto bytes = ReadFileBytes(FrenchPath);
    ASSERT_TRUE(bytes);
    const TIniFile file = TIniFile::FromText(*bytes, false);
    EXPECT_EQ(file.ReadString("Language", "Language", ""),
              "Fran\xC3\xA7"
              "ais");
    const TStringList keys = file.ReadSection("Messages");
    ASSERT_FALSE(keys.empty());
    for (const std::string& key : keys) {
        const std::string translated = file.ReadString("Messages", key, "");
        EXPECT_EQ(Count(translated, "%s"), Count(key, "%s")) << key;
        EXPECT_EQ(Count(translated, "%d"), Count(key, "%d")) << key;
        EXPECT_EQ(Count(translated, "^"), Count(key, "^")) << key;
        EXPECT_NE(TranslateMessage(key), ReplaceAll(key, "^", "\r")) << key;
    }
    EXPECT_EQ(Translate("Don't show this message again"), "Ne plus afficher ce message");
    EXPECT_EQ(Translate("\"%s\" execution failed"),
              "\xC3\x89"
              "chec de l'ex\xC3\xA9"
              "cution de \"%s\"");
    ResetLanguageState();
}

#include "settings/language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

#include "settings/dialog_captions.h"
#include "support/folders_scope.h"
#include "support/program_run.h"
#include "support/temp_folder.h"

namespace {

const char* const FrenchFile =
    "[Language]\n"
    "Language = Fran\xC3\xA7"
    "ais\n"
    "LanguageExt = FR\n"
    "LanguageVersion = 1.1.6 beta\n"
    "[Translations]\n"
    "ButtonGo\t\t= Lancer\n"
    "LabelTitle = Titre^principal\n"
    "ComboBoxType.Items = Un, Deux ,Trois\n"
    "ListBoxMode.Items = Rapide,,Lent,\n"
    "SpinEditWait.MaxValue = 99\n"
    "ButtonBad.Tag = many\n"
    "[Messages]\n"
    "File %s not found = Fichier %s introuvable\n"
    "Copy %s = Copier %s vers %s\n"
    "Empty = \n"
    "Two^lines = Deux^lignes~tab\n"
    "[Tips]\n"
    "Tip1 = Astuce\n";

// Environment variables of the locale, restored afterwards.
class TLocaleScope {
public:
    explicit TLocaleScope(const std::string& lang) {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) Environment.Unset(name);
        if (!lang.empty()) Environment.Set("LANG", lang);
    }

private:
    TEnvironmentScope Environment;
};

// A window of named components with text, integer and list properties.
class TFakeWindow final : public TTranslatableWindow {
public:
    std::map<std::string, std::map<std::string, TPropertyValue>> Components{
        {"ButtonGo", {{"Caption", std::string("Go")}, {"Hint", std::string("Start")}}},
        {"LabelTitle", {{"Caption", std::string("Title")}}},
        {"ComboBoxType", {{"Caption", std::string("")}, {"Items", TStringList{"One", "Two", "Three"}}}},
        {"ListBoxMode", {{"Items", TStringList{"Fast", "Slow"}}}},
        {"SpinEditWait", {{"MaxValue", 10}}},
        {"ButtonBad", {{"Tag", 3}}},
    };
    std::string WindowName() const override { return "PageMain"; }
    TStringList ComponentNames() const override {
        TStringList names;
        for (const auto& [name, properties] : Components) names.push_back(name);
        return names;
    }
    std::optional<TPropertyValue> GetProperty(const std::string& component,
                                              const std::string& property) const override {
        const auto& properties = Components.at(component);
        const auto found = properties.find(property);
        if (found == properties.end()) return std::nullopt;
        return found->second;
    }
    void SetProperty(const std::string& component, const std::string& property, const TPropertyValue& value) override {
        Components.at(component).at(property) = value;
    }
    std::string Text(const std::string& component, const std::string& property = "Caption") const {
        return std::get<std::string>(Components.at(component).at(property));
    }
};

class Language : public ::testing::Test {
protected:
    TTempFolder Program;
    TTempFolder Data;
    TFoldersScope Folders{Program.Path().string(), Program.File("config"), Data.Path().string()};
    std::vector<std::string> Guard;

    void SetUp() override {
        ResetLanguageState();
        SetLanguageGuardReporter([this](const std::string& message) { Guard.push_back(message); });
    }
    void TearDown() override {
        SetLanguageGuardReporter(nullptr);
        ResetLanguageState();
    }
    std::string WriteLanguage(const std::string& suffix, const std::string& name, const std::string& extra = {}) {
        return Program.Write("lumora_" + suffix + ".lng",
                             "[Language]\nLanguage=" + name + "\nLanguageExt=" + suffix + "\n" + extra);
    }
};

}  // namespace

TEST_F(Language, BeforeActivationTextsAreEnglishAndTheGuardSpeaksOnce) {
    EXPECT_EQ(Translate("Ready"), "Ready");
    EXPECT_EQ(Translate("Line^break~tab"), "Line\rbreak\ttab");
    EXPECT_EQ(Guard, (std::vector<std::string>{"Language has not been initialised"}));
    ActivateLanguage(false);
    EXPECT_EQ(Translate("A^B"), "A\rB");
    EXPECT_EQ(Guard.size(), 1u);
    EXPECT_EQ(GetLanguageCode(), "en");
}

TEST_F(Language, LookupsUseTheTranslationOnlyWhenItIsSafe) {
    ActivateLanguage(true, Program.Write("lumora_fr.lng", FrenchFile));
    ASSERT_TRUE(LanguageActive());
    EXPECT_EQ(GetLanguageCode(), "fr");
    struct Case {
        std::string English;
        std::string Shown;
    };
    const Case cases[] = {
        {"File %s not found", "Fichier %s introuvable"},
        {"Copy %s", "Copy %s"},  // one "%s" more than the program fills
        {"Empty", "Empty"},
        {"Two^lines", "Deux\rlignes\ttab"},
        {"Not translated^here", "Not translated\rhere"},
        {"  File %s not found  ", "Fichier %s introuvable"},
    };
    for (const auto& c : cases) EXPECT_EQ(TranslateMessage(c.English), c.Shown) << c.English;
    EXPECT_EQ(TranslateName("ButtonGo", "Go"), "Lancer");
    EXPECT_EQ(TranslateName("ButtonNone", "None"), "None");
    EXPECT_EQ(TranslateTip("Tip1"), "Astuce");
    EXPECT_EQ(TranslateTip("Tip2"), "Tip2");
    EXPECT_TRUE(Guard.empty());
}

// A hostile language file: every translation whose values differ from the
// English text's in kind, number or order is not used, and whatever is
// shown, filling it in never crashes.
TEST_F(Language, HostileTranslationsAreRefusedAndNeverCrash) {
    const char* const hostile =
        "[Language]\n"
        "Language = Hostile\n"
        "LanguageExt = xx\n"
        "[Messages]\n"
        "A project holds at most %d files = %s fichiers au plus\n"
        "Copied %s in %d s = %d s pour %s\n"
        "File %s not found = %s %s %s %s\n"
        "Volume %s = %n%n%n%s\n"
        "Mode %s = Mode %q %s\n"
        "Pair %s %s = Paire %s\n"
        "Width %s %d = Largeur %-8s %03d\n"
        "Rate %d%% = Taux %d %%\n";
    ActivateLanguage(true, Program.Write("lumora_xx.lng", hostile));
    ASSERT_TRUE(LanguageActive());
    struct Case {
        std::string English;
        std::string Shown;  // the text used, before its values are filled
    };
    const Case cases[] = {
        {"A project holds at most %d files", "A project holds at most %d files"},
        {"Copied %s in %d s", "Copied %s in %d s"},
        {"File %s not found", "File %s not found"},
        {"Volume %s", "Volume %s"},
        {"Mode %s", "Mode %s"},
        {"Pair %s %s", "Pair %s %s"},
        {"Width %s %d", "Largeur %-8s %03d"},
        {"Rate %d%%", "Taux %d %%"},
    };
    for (const Case& c : cases) {
        const std::string shown = TranslateMessage(c.English);
        EXPECT_EQ(shown, c.Shown) << c.English;
        // The values a careless caller might pass, in any kind and number.
        EXPECT_FALSE(Format(shown, std::string("a"), 7, 2.5).empty());
        EXPECT_FALSE(Format(shown, 7).empty());
        EXPECT_FALSE(Format(shown).empty());
    }
    EXPECT_EQ(Format(TranslateMessage("Width %s %d"), std::string("ab"), 7), "Largeur ab       007");
    // Even the refused texts, used as they stand, are filled without harm.
    EXPECT_EQ(Format("%s fichiers au plus", 99), "99 fichiers au plus");
    EXPECT_EQ(Format("%n%n%n%s", std::string("v")), "%n%n%nv");
    EXPECT_TRUE(Guard.empty());
}

TEST_F(Language, NamesPickTheFirstFileAndAnUnknownNameMeansEnglish) {
    WriteLanguage("fr",
                  "Fran\xC3\xA7"
                  "ais",
                  "[Messages]\nYes=Oui\n");
    WriteLanguage("fra",
                  "Fran\xC3\xA7"
                  "ais",
                  "[Messages]\nYes=Oui (fra)\n");
    WriteLanguage("tw", "Chinese [Traditional]", "[Messages]\nYes=Shi\n");
    ActivateLanguage(true, {}, true,
                     "FRAN\xC3\xA7"
                     "AIS");
    EXPECT_EQ(Translate("Yes"), "Oui");
    ActivateLanguage(true, {}, true, "Chinese (Traditional)");
    EXPECT_EQ(Translate("Yes"), "Shi");
    EXPECT_EQ(GetLanguageCode(), "tw");
    ActivateLanguage(true, {}, true, "English");
    EXPECT_FALSE(LanguageActive());
    EXPECT_EQ(Translate("Yes"), "Yes");
    // A missing file given by path falls back to the name.
    ActivateLanguage(true, Program.File("missing.lng"), true, "Chinese (Traditional)");
    EXPECT_EQ(Translate("Yes"), "Shi");
}

TEST_F(Language, TheLocaleChoosesTheFile) {
    WriteLanguage("fr",
                  "Fran\xC3\xA7"
                  "ais");
    WriteLanguage("cz",
                  "\xC4\x8C"
                  "e\xC5\xA1tina");
    struct Case {
        std::string Locale;
        std::string Detected;
    };
    const Case cases[] = {
        {"fr_FR.UTF-8",
         "Fran\xC3\xA7"
         "ais"},
        {"fr",
         "Fran\xC3\xA7"
         "ais"},
        {"cs_CZ.UTF-8",
         "\xC4\x8C"
         "e\xC5\xA1tina"},
        {"de_DE.UTF-8", ""},
        {"C", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        TLocaleScope locale(c.Locale);
        EXPECT_EQ(DetectLanguageName(), c.Detected) << c.Locale;
    }
    TLocaleScope locale("en_GB.UTF-8");
    setenv("LC_MESSAGES", "fr_CA.UTF-8", 1);
    EXPECT_EQ(LocaleLanguage().ThreeLetters, "fra");
    setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(LocaleLanguage().TwoLetters, "");
}

TEST_F(Language, WithoutLocaleALoneFileIsChosenAndTwoMeanEnglish) {
    TLocaleScope noLocale("");
    WriteLanguage("fr",
                  "Fran\xC3\xA7"
                  "ais",
                  "[Messages]\nYes=Oui\n");
    ActivateLanguage(true);
    EXPECT_TRUE(LanguageActive());
    EXPECT_EQ(Translate("Yes"), "Oui");
    EXPECT_EQ(GetLanguageCode(), "fr");
    ActivateLanguage(true, {}, true);  // no automatic choice asked for
    EXPECT_FALSE(LanguageActive());

    WriteLanguage("de", "Deutsch");
    ActivateLanguage(true);
    EXPECT_FALSE(LanguageActive());
    EXPECT_EQ(Translate("Yes"), "Yes");
}

TEST_F(Language, AnEnglishLocaleIsNotGivenALoneForeignFile) {
    TLocaleScope english("en_US.UTF-8");
    WriteLanguage("fr",
                  "Fran\xC3\xA7"
                  "ais");
    ActivateLanguage(true);
    EXPECT_FALSE(LanguageActive());
}

TEST_F(Language, FilesBesideTheProgramComeBeforeInstalledOnes) {
    Data.Write("lumora_fr.lng",
               "[Language]\nLanguage=Fran\xC3\xA7"
               "ais\nLanguageVersion=1.0\n");
    Data.Write("lumora_it.lng", "[Language]\nLanguage=Italiano\n[Messages]\nYes=S\xC3\xAC\n");
    Program.Write("lumora_it.lng", "[Language]\nLanguage=Italiano\n");
    Data.Write("other_de.lng", "[Language]\nLanguage=Deutsch\n");
    WriteLanguage("fr",
                  "Fran\xC3\xA7"
                  "ais",
                  "LanguageVersion=  1.1.6-beta \n");
    Program.Write("lumora_nn.lng", "[Language]\nLanguage=\n");
    EXPECT_EQ(LanguageFiles(),
              (TStringList{Program.File("lumora_fr.lng"), Program.File("lumora_it.lng"), Program.File("lumora_nn.lng"),
                           Data.File("lumora_fr.lng"), Data.File("lumora_it.lng")}));
    EXPECT_EQ(GetLanguageList(), (TStringList{"Fran\xC3\xA7"
                                              "ais \t [v1.0]",
                                              "Fran\xC3\xA7"
                                              "ais \t [v1.1.6]",
                                              "Italiano \t [v?]"}));
    // The file beside the program wins over the installed one.
    ActivateLanguage(true, {}, true, "Italiano");
    EXPECT_EQ(Translate("Yes"), "Yes");
    EXPECT_EQ(LanguageFilePath(), Program.File("lumora_it.lng"));
    std::filesystem::remove(Program.File("lumora_it.lng"));
    ActivateLanguage(true, {}, true, "Italiano");
    EXPECT_EQ(Translate("Yes"), "S\xC3\xAC");
}

TEST_F(Language, StartupAndMenuChoicesActivateTheNamedLanguage) {
    TLocaleScope locale("fr_FR.UTF-8");
    WriteLanguage("fr",
                  "Fran\xC3\xA7"
                  "ais",
                  "[Messages]\nYes=Oui\n");
    WriteLanguage("de", "Deutsch", "[Messages]\nYes=Ja\n");
    EXPECT_EQ(ActivateStartupLanguage(" Deutsch \t [v1.1]"), "Deutsch");
    EXPECT_EQ(Translate("Yes"), "Ja");
    EXPECT_EQ(ActivateStartupLanguage(""),
              "Fran\xC3\xA7"
              "ais");  // from the locale
    EXPECT_EQ(Translate("Yes"), "Oui");

    const TStringList menu = GetLanguageList();
    std::string chosen;
    EXPECT_EQ(SelectLanguage("deutsch", menu, chosen), 0);
    EXPECT_EQ(chosen, "Deutsch");
    EXPECT_EQ(Translate("Yes"), "Ja");
    EXPECT_EQ(SelectLanguage("Klingon", menu, chosen), -1);
    EXPECT_EQ(chosen, "English");
    EXPECT_FALSE(LanguageActive());
}

TEST_F(Language, NormalisedNamesLoseMenuDecorations) {
    const std::pair<std::string, std::string> cases[] = {
        {"Fran\xC3\xA7"
         "ais \t [v1.1.6]",
         "Fran\xC3\xA7"
         "ais"},
        {" Deutsch [de]", "Deutsch"},
        {"Espa\xC3\xB1ol?", "Espa\xC3\xB1ol"},
        {"Chinese (Traditional)", "Chinese (Traditional)"},
        {"", ""},
    };
    for (const auto& [text, name] : cases) EXPECT_EQ(NormaliseLanguageName(text), name) << text;
    EXPECT_EQ(LanguageMenuEntry("English", "1.1.6.2"), "English \t [v1.1.6]");
}

TEST_F(Language, TranslateFormSetsPropertiesAndEnglishRestoresThem) {
    const std::string french = Program.Write("lumora_fr.lng", FrenchFile);
    TFakeWindow window;
    const TStringList names{"ButtonGo",
                            "LabelTitle",
                            "ComboBoxType.Items",
                            "ListBoxMode.Items",
                            "SpinEditWait.MaxValue",
                            "ButtonBad.Tag",
                            "ButtonGo.Hint",
                            "Missing"};
    ActivateLanguage(true, french);
    TranslateForm(window, names);
    EXPECT_EQ(window.Text("ButtonGo"), "Lancer");
    EXPECT_EQ(window.Text("ButtonGo", "Hint"), "Start");  // no translation: unchanged
    EXPECT_EQ(window.Text("LabelTitle"), "Titre\rprincipal");
    EXPECT_EQ(std::get<TStringList>(window.Components["ComboBoxType"]["Items"]), (TStringList{"Un", "Deux", "Trois"}));
    // An empty item inside stays, a last empty one is dropped.
    EXPECT_EQ(std::get<TStringList>(window.Components["ListBoxMode"]["Items"]), (TStringList{"Rapide", "", "Lent"}));
    EXPECT_EQ(std::get<int>(window.Components["SpinEditWait"]["MaxValue"]), 99);
    EXPECT_EQ(std::get<int>(window.Components["ButtonBad"]["Tag"]), 3);
    EXPECT_STREQ(DialogCaption(TDialogCaption::ButtonCancel).c_str(), "Annuler");
    EXPECT_EQ(DialogCaption(TDialogCaption::MessageYesToAll), "O&ui pour tout");

    ActivateLanguage(true, {}, true, "English");
    TranslateForm(window, names);
    EXPECT_EQ(window.Text("ButtonGo"), "Go");
    EXPECT_EQ(window.Text("LabelTitle"), "Title");
    EXPECT_EQ(std::get<TStringList>(window.Components["ComboBoxType"]["Items"]), (TStringList{"One", "Two", "Three"}));
    EXPECT_EQ(std::get<TStringList>(window.Components["ListBoxMode"]["Items"]), (TStringList{"Fast", "Slow"}));
    EXPECT_EQ(std::get<int>(window.Components["SpinEditWait"]["MaxValue"]), 10);
    EXPECT_EQ(CurrentDialogCaptions(), EnglishDialogCaptions());
}

TEST_F(Language, ALanguageWithoutAWordPutsTheDesignedCaptionBack) {
    TFakeWindow window;
    ActivateLanguage(true, Program.Write("lumora_fr.lng", FrenchFile));
    TranslateForm(window, {"ButtonGo", "LabelTitle"});
    ActivateLanguage(true, WriteLanguage("de", "Deutsch", "[Translations]\nButtonGo=Los\n"));
    TranslateForm(window, {"ButtonGo", "LabelTitle"});
    EXPECT_EQ(window.Text("ButtonGo"), "Los");
    EXPECT_EQ(window.Text("LabelTitle"), "Title");
    EXPECT_EQ(DialogCaption(TDialogCaption::ButtonCancel), "Abbrechen");
}

TEST(DialogCaptions, EveryTableIsCompleteAndOtherCodesMeanEnglish) {
    for (const char* code :
         {"fr", "in", "ru", "pt", "tr", "de", "nl", "el", "es", "tw", "cn", "cz", "dk", "hr", "it", "po", "se"}) {
        const auto table = DialogCaptionsFor(code);
        ASSERT_TRUE(table) << code;
        for (const char* text : *table) EXPECT_TRUE(text && *text) << code;
        EXPECT_NE((*table)[static_cast<std::size_t>(TDialogCaption::ButtonCancel)], std::string("Cancel")) << code;
    }
    EXPECT_TRUE(DialogCaptionsFor("FR"));
    EXPECT_FALSE(DialogCaptionsFor("en"));
    SetDialogCaptions("de");
    SetDialogCaptions("xx");
    EXPECT_EQ(CurrentDialogCaptions(), EnglishDialogCaptions());
    for (const char* text : EnglishDialogCaptions()) EXPECT_TRUE(text && *text);
}

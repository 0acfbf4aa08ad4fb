// The print-settings store, the strings tables and bundles of the platform layer.
#include <gtest/gtest.h>

#include <fstream>

#include "PanelHarness.h"
#include "StringsFile.h"

namespace kordavine::paneltest {
namespace {

using platform::kPMInvalidParameter;
using platform::kPMKeyNotFound;
using platform::noErr;

TEST(PrintSettingsStore, AbsentIsNotEmptyAndValuesAreNeverLocked) {
    auto settings = std::make_shared<platform::PrintSettingsStore>();
    std::string value = "untouched";
    EXPECT_EQ(platform::PMPrintSettingsGetValue(settings, ps::kUserID, value), kPMKeyNotFound);
    EXPECT_EQ(value, "untouched");
    EXPECT_EQ(platform::PMPrintSettingsSetValue(settings, ps::kUserID, "", false), noErr);
    EXPECT_EQ(platform::PMPrintSettingsGetValue(settings, ps::kUserID, value), noErr);
    EXPECT_EQ(value, "");
    EXPECT_EQ(platform::PMPrintSettingsSetValue(settings, ps::kUserID, "bob", true),
              kPMInvalidParameter);
    EXPECT_EQ(platform::PMPrintSettingsGetValue(settings, ps::kUserID, value), noErr);
    EXPECT_EQ(value, "") << "a refused locked write stores nothing";
    EXPECT_EQ(platform::PMPrintSettingsSetValue(settings, ps::kUserID, "bob", false), noErr);
    EXPECT_EQ(platform::PMPrintSettingsGetValue(settings, ps::kUserID, value), noErr);
    EXPECT_EQ(value, "bob");
}

TEST(PrintSettingsStore, NoStoreAndRefusedWrites) {
    std::string value;
    EXPECT_EQ(platform::PMPrintSettingsGetValue(nullptr, ps::kUserID, value), kPMInvalidParameter);
    EXPECT_EQ(platform::PMPrintSettingsSetValue(nullptr, ps::kUserID, "x", false),
              kPMInvalidParameter);
    auto settings = std::make_shared<platform::PrintSettingsStore>();
    settings->refuseWritesTo(ps::kEnableUserCode, -1234);
    EXPECT_EQ(platform::PMPrintSettingsSetValue(settings, ps::kEnableUserCode, "true", false),
              -1234);
    EXPECT_EQ(platform::PMPrintSettingsGetValue(settings, ps::kEnableUserCode, value),
              kPMKeyNotFound);
    EXPECT_EQ(platform::PMPrintSettingsSetValue(settings, ps::kUserCode, "1", false), noErr);
}

struct StringsCase {
    const char* label;
    std::string bytes;
    std::map<std::string, std::string, std::less<>> table;
    bool fails;
};

const StringsCase kStringsCases[] = {
    {"Pairs",
     "\"a\" = \"b\";\n\"Job Log\" = \"Auftragsprotokoll\";",
     {{"a", "b"}, {"Job Log", "Auftragsprotokoll"}},
     false},
    {"Comments",
     "/* c */ \"a\" /* in between */ = \"b\"; // rest\n// whole line\n\"c\"=\"d\";",
     {{"a", "b"}, {"c", "d"}},
     false},
    {"Escapes", R"("q\"t" = "l1\nl2\t\\ \'x\'";)", {{"q\"t", "l1\nl2\t\\ 'x'"}}, false},
    {"UnicodeEscapes",
     R"("u" = "\U00e4\u20AC\UD83D\UDE00";)",
     {{"u", "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"}},
     false},
    {"KeyStandsForItself", "\"Job Log\";", {{"Job Log", "Job Log"}}, false},
    {"PlainWords", "key = value.1;", {{"key", "value.1"}}, false},
    {"LaterEntryWins", "\"a\" = \"1\"; \"a\" = \"2\";", {{"a", "2"}}, false},
    {"Utf8ByteOrderMark", "\xEF\xBB\xBF\"a\" = \"\xC3\xBC\";", {{"a", "\xC3\xBC"}}, false},
    {"Utf16LittleEndian",
     std::string("\xFF\xFE\"\0a\0\"\0=\0\"\0\xE4\0\"\0;\0", 18),
     {{"a", "\xC3\xA4"}},
     false},
    {"Utf16BigEndian",
     std::string("\xFE\xFF\0\"\0a\0\"\0=\0\"\xD8\x3D\xDE\x00\0\"\0;", 20),
     {{"a", "\xF0\x9F\x98\x80"}},
     false},
    {"Empty", "", {}, false},
    {"MissingSemicolon", "\"a\" = \"b\"\n\"c\" = \"d\";", {}, true},
    {"UnterminatedString", "\"a\" = \"b;", {}, true},
    {"UnterminatedComment", "\"a\" = \"b\"; /* no end", {}, true},
    {"UnknownEscape", R"("a" = "\q";)", {}, true},
    {"LoneSurrogateEscape", R"("a" = "\UD83D";)", {}, true},
    {"OddUtf16", std::string("\xFF\xFE\"\0a", 5), {}, true},
    // Raw UTF-8 at the edges of what is well formed, then bytes that are not UTF-8.
    {"Utf8Edges",
     "\"k\" = \"\xE2\x82\xAC\xED\x9F\xBF\xEE\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\";",
     {{"k", "\xE2\x82\xAC\xED\x9F\xBF\xEE\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"}},
     false},
    {"Latin1", "\"Job Log\" = \"Journal d\xE9taill\xE9\";", {}, true},
    {"Latin1InAComment", "/* r\xE9sum\xE9 */ \"a\" = \"b\";", {}, true},
    {"OverlongSlash", "\"a\" = \"\xC0\xAF\";", {}, true},
    {"OverlongThreeBytes", "\"a\" = \"\xE0\x9F\xBF\";", {}, true},
    {"EncodedSurrogate", "\"a\" = \"\xED\xA0\x80\";", {}, true},
    {"BeyondUnicode", "\"a\" = \"\xF4\x90\x80\x80\";", {}, true},
    {"LoneContinuation", "\"a\" = \"\x80\";", {}, true},
    {"CutShortAtTheEnd", "\"a\" = \"b\"; // \xE2\x82", {}, true},
};

class StringsFiles : public ::testing::TestWithParam<StringsCase> {};

TEST_P(StringsFiles, Parse) {
    const auto& c = GetParam();
    const auto parsed = platform::parseStringsFile(c.bytes);
    EXPECT_EQ(parsed.error.has_value(), c.fails) << parsed.error.value_or("");
    EXPECT_EQ(parsed.table, c.table);
}

INSTANTIATE_TEST_SUITE_P(Tables, StringsFiles, ::testing::ValuesIn(kStringsCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(StringsFiles, ErrorsNameTheLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"\"a\" = \"b\";\n\n\"c\" = ;", "line 3: "},
        {"\"a\" = \"b\";\n\"Job Log\" = \"Journal d\xE9taill\xE9\";\n",
         "line 2: not UTF-8 (byte 0xE9)"},
        {"\xEF\xBB\xBF\n\n\n\"a\" = \"\xC3\";", "line 4: not UTF-8 (byte 0xC3)"},
    };
    for (const auto& [bytes, expected] : cases) {
        const auto parsed = platform::parseStringsFile(bytes);
        ASSERT_TRUE(parsed.error) << expected;
        EXPECT_NE(parsed.error->find(expected), std::string::npos) << *parsed.error;
    }
}

// Every user-visible text of the panel, by its English key.
const char* const kPanelTexts[] = {
    "Job Log",
    "Job Log2",
    "Normal Print",
    "Sample Print",
    "Locked Print",
    "Hold Print",
    "Stored Print",
    "Store and Print",
    "Document Server",
    "User ID:",
    "User Code:",
    "Password:",
    "File Name:",
    "Job Type:",
    "Enable User Code",
    "(Up to 8 alphanumeric characters)",
    "(Up to 8 digits)",
    "(4 digits)",
    "(4-8 digits)",
    "(Up to 16 alphanumeric characters)",
    "Enter a valid User ID",
    "Enter a valid File Name",
    "Enter a valid Password",
    "Enter a valid User Code",
    "User ID",
    "Job Type",
    "File Name",
    "User Code",
};

TEST(BuiltBundle, BothTablesHoldEveryPanelText) {
    for (const char* language : {"en", "de"}) {
        const auto path = std::filesystem::path(JOBLOG_PLUGIN_DIR) / "Contents/Resources" /
                          (std::string(language) + ".lproj") / "Localizable.strings";
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << path;
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        const auto parsed = platform::parseStringsFile(bytes);
        ASSERT_FALSE(parsed.error) << *parsed.error;
        for (const char* key : kPanelTexts) {
            const auto found = parsed.table.find(key);
            ASSERT_NE(found, parsed.table.end()) << language << ": " << key;
            if (std::string(language) == "en") {
                EXPECT_EQ(found->second, key);
            } else {
                EXPECT_NE(found->second, key) << "untranslated: " << key;
            }
        }
        EXPECT_EQ(parsed.table.size(), std::size(kPanelTexts)) << language;
    }
}

TEST(BuiltBundle, DescriptorNamesModuleAndPrincipalClass) {
    const auto bundle = platform::Bundle::open(JOBLOG_PLUGIN_DIR, "en");
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->infoValue("NSPrincipalClass"), "kordavineJobLogC");
    EXPECT_EQ(bundle->infoValue("CFBundleIdentifier"), "com.kordavine.print.pde.kordavineJobLogC");
    EXPECT_TRUE(std::filesystem::exists(bundle->executablePath())) << bundle->executablePath();
    EXPECT_EQ(bundle->infoValue("NoSuchKey"), std::nullopt);
}

struct LookupCase {
    const char* language;
    const char* key;
    const char* text;
};

class Localization : public ::testing::TestWithParam<LookupCase> {};

TEST_P(Localization, TranslationThenEnglishThenTheKey) {
    const auto bundle = platform::Bundle::open(JOBLOG_PLUGIN_DIR, GetParam().language);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->localizedStringForKey(GetParam().key), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Keys, Localization,
                         ::testing::Values(LookupCase{"de", "Hold Print", "Angehaltener Druck"},
                                           LookupCase{"de", "(4-8 digits)", "(4\u20138 Ziffern)"},
                                           LookupCase{"en", "Hold Print", "Hold Print"},
                                           LookupCase{"fr", "Hold Print", "Hold Print"},
                                           LookupCase{"de", "Not in any table", "Not in any table"},
                                           LookupCase{"de", "", ""}));

TEST(Bundles, WithoutADescriptorThereIsNoBundle) {
    EXPECT_FALSE(
        platform::Bundle::open(std::filesystem::path(PANEL_FIXTURES) / "no-such.plugin", "en"));
    EXPECT_FALSE(platform::Bundle::open(PANEL_FIXTURES, "en"));
}

TEST(Bundles, TheEmptyBundleAnswersKeysAndHasNoView) {
    PanelHarness t;
    const auto empty = platform::Bundle::empty();
    EXPECT_EQ(empty->localizedStringForKey("Job Log"), "Job Log");
    EXPECT_FALSE(empty->loadNibNamed("JobLog", t.panel));
    const auto unknown = platform::bundleForClass("NoSuchClass");
    ASSERT_TRUE(unknown);
    EXPECT_TRUE(unknown->bundlePath().empty());
    EXPECT_EQ(unknown->localizedStringForKey("Hold Print"), "Hold Print");
}

TEST(HeadlessPopUp, FirstAddedIsSelectedAndAMissingTitleKeepsTheSelection) {
    headless::HeadlessPopUp popUp;
    EXPECT_EQ(popUp.selectedTitle(), std::nullopt);
    popUp.addItem("A");
    popUp.addItem("B");
    EXPECT_EQ(popUp.selectedTitle(), "A");
    popUp.selectItem("B");
    popUp.selectItem("C");
    EXPECT_EQ(popUp.selectedTitle(), "B");
    EXPECT_FALSE(popUp.userPicks("C"));
    popUp.removeAllItems();
    EXPECT_EQ(popUp.selectedTitle(), std::nullopt);
}

}  // namespace
}  // namespace kordavine::paneltest

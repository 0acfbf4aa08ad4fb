// What the entry fields keep of what the user types, pastes or inserts, counted in UTF-16 units.
#include <gtest/gtest.h>

#include "PanelHarness.h"

namespace kordavine::paneltest {
namespace {

enum class Edit { Type, Paste, Replace };

struct CapCase {
    const char* label;
    const char* field;
    std::string before;  // put in by the panel, so not cut
    Edit edit;
    std::string text;
    std::string after;
    std::optional<std::size_t> at = {};  // paste position in characters; the end when none
};

// Eight letters of two UTF-8 bytes and one UTF-16 unit each; a character of two UTF-16 units.
const std::string kUmlauts = "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xC3\xA9\xC3\xA8\xC3\xAA\xC3\xAB";
const std::string kGrin = "\xF0\x9F\x98\x80";

const CapCase kCapCases[] = {
    {"NinthCharacterOfUserID", "UserIDField", "", Edit::Type, "abcdefghi", "abcdefgh"},
    {"NinthDigitOfUserCode", "UserCodeField", "", Edit::Type, "123456789", "12345678"},
    {"EightFitTheUserID", "UserIDField", "", Edit::Type, "abcdefgh", "abcdefgh"},
    {"InsertInAFullEntryLosesTheLastCharacter", "UserIDField", "abcdefgh", Edit::Paste, "X",
     "abcXdefg", 3},
    {"InsertAtTheStartOfAFullEntry", "DocNameField", "0123456789abcdef", Edit::Paste, "Z",
     "Z0123456789abcde", 0},
    {"PasteOfTwentyIntoTheFileName", "DocNameField", "", Edit::Paste, "ABCDEFGHIJKLMNOPQRST",
     "ABCDEFGHIJKLMNOP"},
    {"FifthDigitOfTheShortPassword", "PasswordField", "", Edit::Type, "12345", "1234"},
    {"LongPasswordTakesEight", "LongPasswordField", "", Edit::Type, "12345678", "12345678"},
    {"NinthDigitOfTheLongPassword", "LongPasswordField", "", Edit::Type, "123456789", "12345678"},
    {"NonBmpCharacterAtTheCutIsLeftOutWhole", "UserIDField", "", Edit::Paste, "abcdefg" + kGrin,
     "abcdefg"},
    {"NonBmpCharacterEndingAtTheCapStays", "UserIDField", "", Edit::Paste, "abcdef" + kGrin,
     "abcdef" + kGrin},
    {"NonBmpTypedIntoAShortPassword", "PasswordField", "12", Edit::Paste, kGrin + kGrin,
     "12" + kGrin},
    {"AccentedLettersCountOneEach", "UserIDField", "", Edit::Type, kUmlauts, kUmlauts},
    {"NinthAccentedLetterIsCut", "UserIDField", "", Edit::Type, kUmlauts + "\xE2\x82\xAC",
     kUmlauts},
    {"LongValueFromThePanelIsCutByTheNextEdit", "LongPasswordField", "123456789", Edit::Type, "0",
     "12345678"},
    {"ReplacingWithShorterTextKeepsIt", "DocNameField", "0123456789abcdefXYZ", Edit::Replace,
     "short", "short"},
    {"ClearingTheEntry", "UserIDField", "abcdefgh", Edit::Replace, "", ""},
};

class CappedFields : public ::testing::TestWithParam<CapCase> {};

TEST_P(CappedFields, KeepTheFirstCapUnitsAfterEachEdit) {
    const auto& c = GetParam();
    PanelHarness t;
    ASSERT_TRUE(t.panel->panelView());
    auto field = t.field(c.field);
    ASSERT_TRUE(field);
    auto& model = *t.panel->outputBinsView->subviewWithIdentifier(c.field);
    static_cast<platform::TextField&>(model).setStringValue(c.before);
    EXPECT_EQ(field->text(), c.before) << "text the panel puts in is never cut";
    const bool taken = c.edit == Edit::Type    ? field->userTypes(c.text)
                       : c.edit == Edit::Paste ? field->userInserts(c.text, c.at)
                                               : field->userReplaces(c.text);
    ASSERT_TRUE(taken);
    EXPECT_EQ(field->text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(Edits, CappedFields, ::testing::ValuesIn(kCapCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(CappedFields, PlainLabelsAreNotCapped) {
    PanelHarness t;
    ASSERT_TRUE(t.panel->panelView());
    t.panel->UserIDnote->setStringValue("(Up to 8 alphanumeric characters)");
    t.panel->UserIDnote->textDidChange();
    EXPECT_EQ(t.field("UserIDnote")->text(), "(Up to 8 alphanumeric characters)");
}

TEST(CappedFields, DisabledOrHiddenEntriesTakeNoTyping) {
    PanelHarness t;
    ASSERT_TRUE(t.panel->panelView());
    t.panel->DocNameField->setEnabled(false);
    t.panel->PasswordField->setHidden(true);
    EXPECT_FALSE(t.field("DocNameField")->userTypes("abc"));
    EXPECT_FALSE(t.field("PasswordField")->userTypes("1"));
    EXPECT_FALSE(t.field("UserIDLABEL")->userTypes("x")) << "labels are not editable";
    EXPECT_EQ(t.field("DocNameField")->text(), "");
}

}  // namespace
}  // namespace kordavine::paneltest

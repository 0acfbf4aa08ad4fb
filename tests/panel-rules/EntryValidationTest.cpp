#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "EntryValidation.h"

namespace kordavine::joblog {
namespace {

const PrinterAttributes kFull{"false", "true", "true", "true", "true"};
const PrinterAttributes kNoStorage{"false", "false", "false", "false", "false"};
const PrinterAttributes kNoJobTypeModel{"true", "true", "true", "true", "false"};
const PrinterAttributes kOddCase{"false", "TRUE", "True", "yes", "false"};
const PrinterAttributes kNoAttributes{};

struct ValidationCase {
    const char* name;
    EntryTexts texts;
    std::optional<std::string> title;
    bool userCodeEnabled;
    PrinterAttributes attributes;
    // Exactly one of the two is set.
    std::optional<std::string> storedName;
    std::optional<EntryField> refused;
};

void PrintTo(const ValidationCase& c, std::ostream* os) {
    *os << '"' << c.name << '"';
}

ValidationCase accepts(const char* name, EntryTexts texts, std::optional<std::string> title,
                       bool userCode, PrinterAttributes attributes, std::string storedName) {
    return {name, texts, title, userCode, attributes, storedName, std::nullopt};
}

ValidationCase refuses(const char* name, EntryTexts texts, std::optional<std::string> title,
                       bool userCode, PrinterAttributes attributes, EntryField field) {
    return {name, texts, title, userCode, attributes, std::nullopt, field};
}

// Field order in EntryTexts: user ID, file name, password, user code.
const EntryTexts kAllValid{"user01", "report2024", "123456", "4711"};
const EntryTexts kAllInvalid{"user_01", "report-2024", "12", "47a1"};

class ValidateEntriesTest : public testing::TestWithParam<ValidationCase> {};

TEST_P(ValidateEntriesTest, StoresTheRowsNameOrRefusesTheFirstFailingField) {
    const ValidationCase& c = GetParam();
    const ValidationOutcome outcome =
        validateEntries(c.texts, c.title, c.userCodeEnabled, c.attributes);
    if (c.storedName) {
        const auto* accepted = std::get_if<AcceptedEntries>(&outcome);
        ASSERT_NE(accepted, nullptr) << "refused " << std::get<RefusedEntry>(outcome).messageKey;
        EXPECT_EQ(accepted->storedName, *c.storedName);
    } else {
        const auto* refused = std::get_if<RefusedEntry>(&outcome);
        ASSERT_NE(refused, nullptr)
            << "accepted as " << std::get<AcceptedEntries>(outcome).storedName;
        EXPECT_EQ(refused->field, *c.refused);
        EXPECT_EQ(refused->messageKey, refusalMessageKey(*c.refused));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ValidateEntriesTest,
    testing::Values(
        // Each row with valid entries stores its own name.
        accepts("NormalStoresNormal", kAllValid, "Normal Print", false, kFull, "Normal"),
        accepts("SampleStoresSample", kAllValid, "Sample Print", false, kFull, "Sample Print"),
        accepts("LockedStoresLocked", kAllValid, "Locked Print", false, kFull, "Locked Print"),
        accepts("HoldStoresPaused", kAllValid, "Hold Print", false, kFull, "Paused Print"),
        accepts("StoredStoresSaved", kAllValid, "Stored Print", false, kFull, "Saved Print"),
        accepts("StoreAndPrintStoresSaveDocument", kAllValid, "Store and Print", false, kFull,
                "Save Document Print"),
        accepts("DocumentServerStoresDocumentServer", kAllValid, "Document Server", false, kFull,
                "Document Server"),

        // User ID: optional, required, or not checked.
        accepts("NormalEmptyUserID", {"", "", "", ""}, "Normal Print", false, kFull, "Normal"),
        refuses("NormalBadUserID", {"a b", "", "", ""}, "Normal Print", false, kFull,
                EntryField::UserID),
        refuses("SampleEmptyUserID", {"", "", "", ""}, "Sample Print", false, kFull,
                EntryField::UserID),
        accepts("DocumentServerEmptyUserID", {"", "doc", "", ""}, "Document Server", false, kFull,
                "Document Server"),
        accepts("SampleEightCharUserID", {"abcd1234", "", "", ""}, "Sample Print", false, kFull,
                "Sample Print"),
        refuses("SampleNineCharUserID", {"abcd12345", "", "", ""}, "Sample Print", false, kFull,
                EntryField::UserID),
        refuses("SampleAccentedUserID", {"Jos\xC3\xA9", "", "", ""}, "Sample Print", false, kFull,
                EntryField::UserID),
        accepts("NoSelectionSkipsUserID", {"bad id!", "bad name!", "x", ""}, std::nullopt, false,
                kFull, "Normal"),

        // File name: checked by the four rows that keep the job.
        refuses("HoldBadFileName", {"u1", "my file", "", ""}, "Hold Print", false, kFull,
                EntryField::FileName),
        accepts("HoldSixteenCharFileName", {"u1", "abcdefghijklmnop", "", ""}, "Hold Print", false,
                kFull, "Paused Print"),
        refuses("StoredSeventeenCharFileName", {"u1", "abcdefghijklmnopq", "", ""}, "Stored Print",
                false, kFull, EntryField::FileName),
        refuses("DocumentServerBadFileName", {"", "a.ps", "", ""}, "Document Server", false, kFull,
                EntryField::FileName),
        accepts("LockedIgnoresFileName", {"u1", "not/valid", "1234", ""}, "Locked Print", false,
                kFull, "Locked Print"),

        // Password: required for Locked Print, optional for the storing rows, ignored otherwise.
        refuses("LockedEmptyPassword", {"u1", "", "", ""}, "Locked Print", false, kFull,
                EntryField::Password),
        refuses("LockedThreeDigitPassword", {"u1", "", "123", ""}, "Locked Print", false, kFull,
                EntryField::Password),
        accepts("LockedEightDigitPassword", {"u1", "", "12345678", ""}, "Locked Print", false,
                kFull, "Locked Print"),
        refuses("LockedNineDigitPassword", {"u1", "", "123456789", ""}, "Locked Print", false,
                kFull, EntryField::Password),
        accepts("StoredEmptyPassword", {"u1", "f", "", ""}, "Stored Print", false, kFull,
                "Saved Print"),
        refuses("StoredThreeDigitPassword", {"u1", "f", "123", ""}, "Stored Print", false, kFull,
                EntryField::Password),
        refuses("StoreAndPrintThreeDigitPassword", {"u1", "f", "123", ""}, "Store and Print", false,
                kFull, EntryField::Password),
        refuses("DocumentServerThreeDigitPassword", {"", "f", "123", ""}, "Document Server", false,
                kFull, EntryField::Password),
        accepts("DocumentServerEmptyPassword", {"", "f", "", ""}, "Document Server", false, kFull,
                "Document Server"),
        accepts("HoldIgnoresPassword", {"u1", "f", "12ab", ""}, "Hold Print", false, kFull,
                "Paused Print"),
        accepts("SampleIgnoresPassword", {"u1", "", "x", ""}, "Sample Print", false, kFull,
                "Sample Print"),

        // The first failing field wins: user ID, file name, password, user code.
        refuses("AllInvalidHoldShowsUserID", kAllInvalid, "Hold Print", true, kFull,
                EntryField::UserID),
        refuses("FileNameBeforePassword", {"u1", "a b", "12", "x"}, "Stored Print", true, kFull,
                EntryField::FileName),
        refuses("PasswordBeforeUserCode", {"u1", "f", "12", "x"}, "Stored Print", true, kFull,
                EntryField::Password),
        refuses("DocumentServerChecksOptionalUserIDFirst", kAllInvalid, "Document Server", true,
                kFull, EntryField::UserID),
        refuses("DocumentServerFileNameBeforePassword", {"", "a b", "12", "x"}, "Document Server",
                true, kFull, EntryField::FileName),

        // User code: only while its check box is on.
        accepts("UserCodeOffNotChecked", {"u1", "", "", "abc"}, "Normal Print", false, kFull,
                "Normal"),
        accepts("UserCodeOnEmptyPasses", {"u1", "", "", ""}, "Normal Print", true, kFull, "Normal"),
        accepts("UserCodeOnEightDigits", {"u1", "", "", "12345678"}, "Normal Print", true, kFull,
                "Normal"),
        refuses("UserCodeOnNineDigits", {"u1", "", "", "123456789"}, "Normal Print", true, kFull,
                EntryField::UserCode),
        refuses("UserCodeOnLetterWithAllElseValid", {"user01", "report2024", "123456", "47a1"},
                "Stored Print", true, kFull, EntryField::UserCode),
        refuses("UserCodeCheckedWithoutSelection", {"", "", "", "x"}, std::nullopt, true, kFull,
                EntryField::UserCode),

        // A job type the printer does not take falls back to Normal Print, entries included.
        accepts("HoldWithoutStoredPrintIsNormal", {"", "bad name!", "", ""}, "Hold Print", false,
                kNoStorage, "Normal"),
        refuses("HoldWithoutStoredPrintChecksOptionalUserID", {"bad id!", "f", "", ""},
                "Hold Print", false, kNoStorage, EntryField::UserID),
        accepts("StoredWithoutStoredPrintIgnoresPassword", {"u1", "f", "12", ""}, "Stored Print",
                false, kNoStorage, "Normal"),
        accepts("StoreAndPrintWithoutSupport", {"", "", "", ""}, "Store and Print", false,
                kNoStorage, "Normal"),
        accepts("DocumentServerWithoutSupport", {"", "", "", ""}, "Document Server", false,
                kNoStorage, "Normal"),
        accepts("SampleOnNoJobTypeModelIsNormal", {"", "", "", ""}, "Sample Print", false,
                kNoJobTypeModel, "Normal"),
        accepts("LockedOnNoJobTypeModelIsNormal", {"u1", "", "", ""}, "Locked Print", false,
                kNoJobTypeModel, "Normal"),
        accepts("HoldOnNoJobTypeModelStillHolds", {"u1", "f", "", ""}, "Hold Print", false,
                kNoJobTypeModel, "Paused Print"),
        // Acceptance tests any value but "false": an odd spelling still counts.
        accepts("OddCaseSupportCounts", {"u1", "f", "", ""}, "Hold Print", false, kOddCase,
                "Paused Print"),
        accepts("OddDocumentServerValueCounts", {"", "f", "", ""}, "Document Server", false,
                kOddCase, "Document Server"),
        accepts("MissingAttributesFallBack", {"", "", "", ""}, "Stored Print", false, kNoAttributes,
                "Normal"),
        accepts("MissingAttributesKeepSample", {"u1", "", "", ""}, "Sample Print", false,
                kNoAttributes, "Sample Print"),

        // A title that is none of the seven counts as no selection.
        accepts("UnknownTitleIsNoSelection", {"", "", "", ""}, "Paused Print", false, kFull,
                "Normal")),
    [](const testing::TestParamInfo<ValidationCase>& info) {
        return std::string(info.param.name);
    });

// A strings table in the test: translated keys, and the key itself otherwise.
Localizer tableLocalizer(std::map<std::string, std::string> table) {
    return [table = std::move(table)](std::string_view key) {
        const auto found = table.find(std::string(key));
        return found == table.end() ? std::string(key) : found->second;
    };
}

struct SelectionCase {
    const char* name;
    std::map<std::string, std::string> table;
    std::optional<std::string> selectedText;
    std::optional<std::string> englishTitle;
};

void PrintTo(const SelectionCase& c, std::ostream* os) {
    *os << '"' << c.name << '"';
}

class SelectionTitleTest : public testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionTitleTest, MatchesLocalizedTitlesInRowOrder) {
    const SelectionCase& c = GetParam();
    EXPECT_EQ(englishTitleOfSelection(c.selectedText, tableLocalizer(c.table)), c.englishTitle);
}

const std::map<std::string, std::string> kGerman{
    {"Normal Print", "Normaldruck"},      {"Sample Print", "Probedruck"},
    {"Locked Print", "Vertraulich"},      {"Hold Print", "Angehalten"},
    {"Stored Print", "Gespeichert"},      {"Store and Print", "Speichern und drucken"},
    {"Document Server", "Dokumentserver"}};

INSTANTIATE_TEST_SUITE_P(
    Titles, SelectionTitleTest,
    testing::Values(SelectionCase{"UntranslatedKeyStandsIn", {}, "Hold Print", "Hold Print"},
                    SelectionCase{"TranslatedTitle", kGerman, "Angehalten", "Hold Print"},
                    SelectionCase{"EnglishTextNoLongerMatchesOnceTranslated", kGerman, "Hold Print",
                                  std::nullopt},
                    SelectionCase{"LastRow", kGerman, "Dokumentserver", "Document Server"},
                    SelectionCase{"NothingSelected", kGerman, std::nullopt, std::nullopt},
                    SelectionCase{"StoredNameIsNotATitle", {}, "Paused Print", std::nullopt},
                    SelectionCase{"ComparisonIsCaseSensitive", {}, "hold print", std::nullopt},
                    // Two titles translated alike: the earlier row wins.
                    SelectionCase{"FirstEqualRowWins",
                                  {{"Stored Print", "Store"}, {"Store and Print", "Store"}},
                                  "Store",
                                  "Stored Print"}),
    [](const testing::TestParamInfo<SelectionCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kordavine::joblog

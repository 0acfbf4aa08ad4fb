// The Job Log panel on real Qt widgets (offscreen platform): key events and pastes into the
// entries, picks in the pop-up, alerts, rows for each PPD fixture, presets, German texts, the
// summary on the tab, changes of printer, and screenshots of the tab.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QSet>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ControlPeers.h"
#include "Controls.h"
#include "JobLogTab.h"
#include "PlugInLoader.h"
#include "QtMessages.h"
#include "QtTestActions.h"
#include "QtToolkit.h"

namespace {

namespace platform = kordavine::platform;
namespace printtool = kordavine::printtool;
namespace qttest = kordavine::qttest;
using platform::FormColumn;

const std::string kPrefix = "com.varlo.printsettings.";

std::string ppdPath(const std::string& name) {
    if (name == "sample") return std::string(JOBLOG_SAMPLES) + "/kordavine-office.ppd";
    return std::string(PANEL_FIXTURES) + "/ppd/" + name + ".ppd";
}

printtool::PrinterSetup setupFor(const std::string& ppd, const std::string& name = "office",
                                 printtool::OptionMap saved = {},
                                 printtool::OptionMap remembered = {}) {
    printtool::PrinterSetup setup{name, std::nullopt, std::move(saved), std::move(remembered)};
    if (!ppd.empty()) setup.ppd = platform::PpdFile::open(ppdPath(ppd));
    if (!ppd.empty() && !setup.ppd) throw std::runtime_error("cannot read " + ppd);
    return setup;
}

// A tab as the print tool makes it, for a printer with that PPD ("" for none) and saved options.
struct TabUnderTest {
    std::shared_ptr<kordavine::qt::QtToolkit> toolkit =
        std::make_shared<kordavine::qt::QtToolkit>();
    std::unique_ptr<printtool::JobLogTab> tab;

    TabUnderTest(const std::string& ppd, const std::string& language = "en",
                 printtool::OptionMap saved = {}) {
        platform::setToolkit(toolkit);
        kordavine::qt::installQtMessageSinks();
        auto loaded = platform::loadPrintDialogExtension(JOBLOG_PLUGIN_DIR, language);
        if (auto* failure = std::get_if<std::string>(&loaded)) throw std::runtime_error(*failure);
        tab = std::make_unique<printtool::JobLogTab>(std::get<platform::LoadedPlugIn>(loaded),
                                                     toolkit, language);
        tab->showPanelFor(setupFor(ppd, "office", std::move(saved)));
        tab->resize(640, 420);
        tab->show();
    }
    ~TabUnderTest() {
        tab.reset();
        platform::setToolkit(nullptr);
    }
    QLineEdit* entry(const std::string& name) const {
        return qobject_cast<QLineEdit*>(tab->controlWidget(name));
    }
    QComboBox* popUp() const {
        return qobject_cast<QComboBox*>(tab->controlWidget("JobTypeSelection"));
    }
    QLabel* label(const std::string& name) const {
        return qobject_cast<QLabel*>(tab->controlWidget(name));
    }
    std::vector<std::string> items() const { return tab->jobTypes(); }
    // The forms in the tab, shown or not.
    qsizetype forms() const { return tab->findChildren<QWidget*>("JobLogForm").size(); }
};

// ---- entry caps --------------------------------------------------------------------------

struct CapCase {
    const char* label;
    const char* field;
    // 'j' job type picked, 't' typed, 'p' pasted, 'h' cursor home, 'c' check box
    std::vector<std::pair<char, QString>> actions;
    QString expected;
    const char* ppd = "sample";
};

const QString kGrin = QString::fromUtf8("\xF0\x9F\x98\x80");  // outside the BMP: two UTF-16 units

const CapCase kCapCases[] = {
    {"NinthTypedCharacterIsLost", "UserIDField", {{'t', "abcdefghi"}}, "abcdefgh"},
    {"TwentyPastedKeepEight", "UserIDField", {{'p', "abcdefghijklmnopqrst"}}, "abcdefgh"},
    {"UserCodeKeepsEightOnceEnabled",
     "UserCodeField",
     {{'c', ""}, {'t', "1234567890"}},
     "12345678"},
    {"DisabledUserCodeTakesNoKeys", "UserCodeField", {{'t', "1234"}}, ""},
    {"GreyedPasswordTakesNoKeys", "LongPasswordField", {{'t', "1234"}}, ""},
    {"FileNameKeepsSixteen",
     "DocNameField",
     {{'j', "Hold Print"}, {'p', "abcdefghijklmnopqrst"}},
     "abcdefghijklmnop"},
    // A password takes digits only, as typed: other keys never arrive nor count.
    {"LongPasswordKeepsEightDigits",
     "LongPasswordField",
     {{'j', "Locked Print"}, {'t', "12ab3 4-567890"}},
     "12345678"},
    {"ShortPasswordKeepsFourDigits",
     "PasswordField",
     {{'j', "Locked Print"}, {'t', "x9y8z7w65"}},
     "9876",
     "all-off"},
    {"NonBmpAtTheCutIsLeftOutWhole", "UserIDField", {{'t', "abcdefg"}, {'t', kGrin}}, "abcdefg"},
    {"NonBmpBeforeTheCutCountsTwo",
     "UserIDField",
     {{'p', "ab" + kGrin + "cdefgh"}},
     "ab" + kGrin + "cdef"},
    {"InsertIntoAFullEntryLosesTheLast",
     "UserIDField",
     {{'t', "abcdefgh"}, {'h', ""}, {'t', "X"}},
     "Xabcdefg"},
    // A paste holding anything but digits never reaches a password.
    {"PastedLettersNeverReachThePassword",
     "LongPasswordField",
     {{'j', "Locked Print"}, {'p', "12ab"}},
     ""},
};

void PrintTo(const CapCase& c, std::ostream* os) {
    *os << c.label;
}

class EntryCaps : public ::testing::TestWithParam<CapCase> {};

TEST_P(EntryCaps, CapAfterEachEdit) {
    const auto& c = GetParam();
    TabUnderTest t(c.ppd);
    auto* edit = t.entry(c.field);
    ASSERT_NE(edit, nullptr) << c.field;
    for (const auto& [kind, text] : c.actions) {
        if (kind == 'j') {
            ASSERT_TRUE(qttest::pickWithKeyboard(t.popUp(), text));
        }
        if (kind == 't') qttest::typeInto(edit, text);
        if (kind == 'p') qttest::pasteInto(edit, text);
        if (kind == 'h') edit->home(false);
        if (kind == 'c') qobject_cast<QCheckBox*>(t.tab->controlWidget("EnableUserCode"))->click();
    }
    EXPECT_EQ(edit->text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Qt, EntryCaps, ::testing::ValuesIn(kCapCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(EntryCaps, SecureEntriesEchoAsPasswords) {
    TabUnderTest t("all-off");
    EXPECT_EQ(t.entry("PasswordField")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(t.entry("LongPasswordField")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(t.entry("UserIDField")->echoMode(), QLineEdit::Normal);
}

// ---- the summary, alerts and saving ------------------------------------------------------

// The summary shows what is typed, in the form's order, for the entries the job type uses, and
// marks the entry the panel refuses; that entry's alert stands below it and comes up once on
// Print, titled with the panel's name. A form that passes stores its job type. Either way,
// everything typed stays.
struct FormCase {
    const char* label;
    const char* jobType;                                 // as shown
    std::vector<std::pair<const char*, QString>> typed;  // "EnableUserCode" clicks the check box
    QStringList summary;
    std::optional<std::string> refusedControl;  // none: the form passes
    QString result;  // the alert, or the job type stored when the form passes
    const char* language = "en";
};

const FormCase kFormCases[] = {
    {"SampleWithoutUserID",
     "Sample Print",
     {},
     {"Job Type: Sample Print", "⚠ User ID: (not yet acceptable)"},
     "UserIDField",
     "Enter a valid User ID"},
    {"AnInvalidUserIDStillShows",
     "Hold Print",
     {{"UserIDField", "bo.b"}, {"DocNameField", "plans"}},
     {"Job Type: Hold Print", "⚠ User ID: bo.b (not yet acceptable)", "File Name: plans"},
     "UserIDField",
     "Enter a valid User ID"},
    {"HoldWithABlankInTheFileName",
     "Hold Print",
     {{"UserIDField", "eve"}, {"DocNameField", "my file"}},
     {"Job Type: Hold Print", "User ID: eve", "⚠ File Name: my file (not yet acceptable)"},
     "DocNameField",
     "Enter a valid File Name"},
    {"LockedWithTwoDigits",
     "Locked Print",
     {{"UserIDField", "bob"}, {"LongPasswordField", "12"}},
     {"Job Type: Locked Print", "User ID: bob", "⚠ Password: •• (not yet acceptable)"},
     "LongPasswordField",
     "Enter a valid Password"},
    {"LockedWithTwoDigitsInGerman",
     "Vertraulicher Druck",
     {{"UserIDField", "bob"}, {"LongPasswordField", "12"}},
     {"Auftragsart: Vertraulicher Druck", "Benutzer-ID: bob", "⚠ Passwort: •• (noch nicht gültig)"},
     "LongPasswordField",
     "Geben Sie ein gültiges Passwort ein",
     "de"},
    {"UserCodeOnlyWhileOn",
     "Normal Print",
     {{"EnableUserCode", ""}, {"UserCodeField", "12a"}},
     {"Job Type: Normal Print", "User ID:", "⚠ User Code: 12a (not yet acceptable)"},
     "UserCodeField",
     "Enter a valid User Code"},
    {"LockedPasses",
     "Locked Print",
     {{"UserIDField", "bob"}, {"LongPasswordField", "12345678"}},
     {"Job Type: Locked Print", "User ID: bob", "Password: ••••••••"},
     std::nullopt,
     "Locked Print"},
    {"HoldPasses",
     "Hold Print",
     {{"UserIDField", "alice01"}, {"DocNameField", "Report2024"}},
     {"Job Type: Hold Print", "User ID: alice01", "File Name: Report2024"},
     std::nullopt,
     "Paused Print"},
};

void PrintTo(const FormCase& c, std::ostream* os) {
    *os << c.label;
}

class Form : public ::testing::TestWithParam<FormCase> {};

TEST_P(Form, SummaryAlertAndSave) {
    const auto& c = GetParam();
    TabUnderTest t("sample", c.language);
    ASSERT_TRUE(qttest::pickWithKeyboard(t.popUp(), QString::fromUtf8(c.jobType)));
    for (const auto& [field, text] : c.typed) {
        if (std::string(field) == "EnableUserCode") {
            qobject_cast<QCheckBox*>(t.tab->controlWidget(field))->click();
        } else {
            qttest::typeInto(t.entry(field), text);
        }
    }
    const QString alert = c.refusedControl ? c.result : QString();
    EXPECT_EQ(t.tab->summaryText().split('\n'), c.summary);
    EXPECT_EQ(t.tab->refusedControl(), c.refusedControl);
    EXPECT_EQ(t.tab->refusalText(), alert);
    if (c.refusedControl) {
        const auto* refusal = t.tab->findChild<QLabel*>("JobLogRefusal");
        ASSERT_NE(refusal, nullptr);
        // Not drawn like a placeholder: the normal text colour, not the greyed one.
        EXPECT_NE(refusal->palette().color(QPalette::Active, QPalette::WindowText),
                  QPalette().color(QPalette::Disabled, QPalette::WindowText));
    }
    // Checking the form for the summary stores nothing.
    EXPECT_EQ(t.tab->savedSettings(), (printtool::OptionMap{{kPrefix + "UserID", ""}}));

    qttest::AlertCatcher catcher;
    const bool saved = t.tab->saveForPrinting();
    const auto settings = t.tab->savedSettings();
    EXPECT_EQ(saved, !c.refusedControl);
    EXPECT_EQ(t.tab->refusalText(), alert);
    if (c.refusedControl) {
        EXPECT_EQ(catcher.alerts(), QStringList{alert});
        // The box says whose message it is: the panel's name, not the program's.
        EXPECT_EQ(catcher.titles(), QStringList{t.tab->panelName()});
        EXPECT_FALSE(settings.contains(kPrefix + "JobType"));
    } else {
        EXPECT_EQ(catcher.alerts(), QStringList{});
        EXPECT_EQ(settings.at(kPrefix + "JobType"), c.result.toStdString());
    }
    for (const auto& [field, text] : c.typed) {
        if (auto* edit = t.entry(field)) {
            EXPECT_EQ(edit->text(), text) << field;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Qt, Form, ::testing::ValuesIn(kFormCases),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- rows for each printer description ---------------------------------------------------

struct RowCase {
    const char* ppd;  // "" for a printer without a PPD
    std::vector<std::string> items;
    bool fileNameRowShown;
    const char* passwordField = "PasswordField";  // the one shown
    bool jobTypeAndPasswordRowsShown = true;
    const char* name = "Job Log";
};

const RowCase kRowCases[] = {
    {"sample",
     {"Normal Print", "Sample Print", "Locked Print", "Hold Print", "Stored Print",
      "Store and Print", "Document Server"},
     true,
     "LongPasswordField"},
    {"all-off", {"Normal Print", "Sample Print", "Locked Print"}, false},
    {"stored-print-off", {"Normal Print", "Sample Print", "Locked Print", "Document Server"}, true},
    // The pop-up is rebuilt as for any PPD, but its row and the password row are hidden; so is
    // the file-name row while Normal Print is selected.
    {"no-job-type-model",
     {"Normal Print", "Sample Print", "Locked Print", "Hold Print", "Stored Print"},
     false,
     "LongPasswordField",
     false,
     "Job Log2"},
    {"attributes-missing", {"Normal Print", "Sample Print", "Locked Print"}, false},
    {"", {"Normal Print", "Sample Print", "Locked Print"}, false},
};

void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.ppd;
}

class Rows : public ::testing::TestWithParam<RowCase> {};

TEST_P(Rows, HiddenRowsHideLabelEntryAndNoteTogether) {
    const auto& c = GetParam();
    TabUnderTest t(c.ppd);
    EXPECT_EQ(t.items(), c.items);
    EXPECT_EQ(t.tab->panelName().toStdString(), c.name);
    const auto* view = dynamic_cast<const kordavine::qt::QtView*>(t.tab->view()->peer().get());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->rowNames(),
              (std::vector<std::string>{"JobType", "UserID", "UserCode", "Password", "DocName"}));
    auto rowShown = [&](const std::string& row, FormColumn column) {
        const auto widgets = view->widgetsIn(row, column);
        bool shown = false;
        for (auto* widget : widgets) shown = shown || widget->isVisible();
        return shown;
    };
    for (const auto column : {FormColumn::Label, FormColumn::Entry, FormColumn::Note}) {
        EXPECT_EQ(rowShown("DocName", column), c.fileNameRowShown);
        EXPECT_EQ(rowShown("Password", column), c.jobTypeAndPasswordRowsShown);
        EXPECT_TRUE(rowShown("UserID", column));
    }
    EXPECT_EQ(rowShown("JobType", FormColumn::Label), c.jobTypeAndPasswordRowsShown);
    EXPECT_EQ(rowShown("JobType", FormColumn::Entry), c.jobTypeAndPasswordRowsShown);
    if (c.jobTypeAndPasswordRowsShown) {
        EXPECT_TRUE(t.entry(c.passwordField)->isVisible());
        const std::string other =
            std::string(c.passwordField) == "PasswordField" ? "LongPasswordField" : "PasswordField";
        EXPECT_FALSE(t.entry(other)->isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(Qt, Rows, ::testing::ValuesIn(kRowCases), [](const auto& info) {
    std::string name = *info.param.ppd ? info.param.ppd : "NoPpd";
    for (auto& c : name)
        if (c == '-') c = '_';
    return name;
});

// Picking a job type greys the rows it does not use; the check box enables the user code.
struct EnablingCase {
    const char* jobType;
    bool password;
    bool fileName;
};

const EnablingCase kEnablingCases[] = {
    {"Normal Print", false, false},
    {"Locked Print", true, false},
    {"Hold Print", false, true},
    {"Stored Print", true, true},
};

void PrintTo(const EnablingCase& c, std::ostream* os) {
    *os << c.jobType;
}

class Enabling : public ::testing::TestWithParam<EnablingCase> {};

TEST_P(Enabling, GreyedRowsFollowThePick) {
    const auto& c = GetParam();
    TabUnderTest t("sample");
    ASSERT_TRUE(qttest::pickWithKeyboard(t.popUp(), c.jobType));
    const QColor black = QPalette().color(QPalette::Active, QPalette::WindowText);
    auto colorOf = [](QLabel* label) {
        return label->palette().color(QPalette::Active, QPalette::WindowText);
    };
    EXPECT_EQ(t.entry("LongPasswordField")->isEnabled(), c.password);
    EXPECT_EQ(colorOf(t.label("PasswordLABEL")) == black, c.password);
    EXPECT_EQ(colorOf(t.label("Passwordnote")) == black, c.password);
    EXPECT_EQ(t.entry("DocNameField")->isEnabled(), c.fileName);
    EXPECT_EQ(colorOf(t.label("DocNameLABEL")) == black, c.fileName);

    // A form that passes, so the summary shows what Print would store.
    qttest::typeInto(t.entry("UserIDField"), "bob");
    if (c.password) qttest::typeInto(t.entry("LongPasswordField"), "1234");
    auto* box = qobject_cast<QCheckBox*>(t.tab->controlWidget("EnableUserCode"));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(t.entry("UserCodeField")->isEnabled());
    box->click();
    EXPECT_TRUE(t.entry("UserCodeField")->isEnabled());
    EXPECT_EQ(colorOf(t.label("UserCodeLABEL")), black);
    qttest::typeInto(t.entry("UserCodeField"), "4711");
    EXPECT_NE(t.tab->summaryText().indexOf("User Code: 4711"), -1)
        << t.tab->summaryText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Qt, Enabling, ::testing::ValuesIn(kEnablingCases), [](const auto& info) {
    std::string name = info.param.jobType;
    std::erase(name, ' ');
    return name;
});

// ---- presets and language ----------------------------------------------------------------

struct PresetCase {
    const char* label;
    const char* language;
    printtool::OptionMap saved;
    QString selected;
    QString userID;
    QStringList summaryLines;
};

const PresetCase kPresetCases[] = {
    {"LockedPrintPreset",
     "en",
     {{kPrefix + "JobType", "Locked Print"}, {kPrefix + "UserID", "alice"}},
     "Locked Print",
     "alice",
     {"Job Type: Locked Print", "User ID: alice", "⚠ Password: (not yet acceptable)"}},
    {"HoldPrintPresetInGerman",
     "de",
     {{kPrefix + "JobType", "Paused Print"},
      {kPrefix + "UserID", "carol"},
      {kPrefix + "FileName", "Plans"}},
     "Angehaltener Druck",
     "carol",
     {"Auftragsart: Angehaltener Druck", "Benutzer-ID: carol", "Dateiname: Plans"}},
    {"OtherOptionsAreNoPreset",
     "en",
     {{"media", "A4"}, {"UserID", "mallory"}},
     "Normal Print",
     "",
     {"Job Type: Normal Print", "User ID:"}},
};

void PrintTo(const PresetCase& c, std::ostream* os) {
    *os << c.label;
}

class Presets : public ::testing::TestWithParam<PresetCase> {};

TEST_P(Presets, SavedOptionsShowInTheForm) {
    const auto& c = GetParam();
    TabUnderTest t("sample", c.language, c.saved);
    EXPECT_EQ(t.popUp()->currentText(), c.selected);
    EXPECT_EQ(t.entry("UserIDField")->text(), c.userID);
    EXPECT_EQ(t.tab->summaryText().split('\n'), c.summaryLines);
}

INSTANTIATE_TEST_SUITE_P(Qt, Presets, ::testing::ValuesIn(kPresetCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Language, GermanTextsOnTheWidgets) {
    TabUnderTest t("sample", "de");
    EXPECT_EQ(t.tab->panelName(), "Auftragsprotokoll");
    EXPECT_EQ(t.label("UserIDLABEL")->text(), "Benutzer-ID:");
    EXPECT_EQ(t.label("Passwordnote")->text(), "(4–8 Ziffern)");
    EXPECT_EQ(qobject_cast<QCheckBox*>(t.tab->controlWidget("EnableUserCode"))->text(),
              "Benutzercode aktivieren");
    EXPECT_EQ(t.items().front(), "Normaldruck");
}

// ---- changes of printer ------------------------------------------------------------------

// From the sample printer to one with short passwords and without Hold Print: one form, with
// what the person typed where the new printer takes it (a Locked Print carried over, and a Hold
// Print dropped, go through the scheduler in test_print_through_cupsd.py).
struct SwitchCase {
    const char* label;
    const char* jobType;                                 // picked before the switch; "" none
    std::vector<std::pair<const char*, QString>> typed;  // before the switch
    printtool::OptionMap remembered;                     // what the tool keeps for the new printer
    QString selected;                                    // after the switch
    QString userID;
    QStringList noticeLines;  // empty: nothing to confirm
};

const SwitchCase kSwitchCases[] = {
    {"LongPasswordNotTaken",
     "Locked Print",
     {{"UserIDField", "bob"}, {"LongPasswordField", "12345678"}},
     {},
     "Locked Print",
     "bob",
     {"Not carried over to basic:", "• The password: basic takes 4 digits.",
      "Check the Job Log settings; Print asks you to confirm them."}},
    // Untouched, the form starts from what the new printer remembers.
    {"UntouchedFormTakesTheNewPrintersOwn",
     "",
     {},
     {{kPrefix + "JobType", "Document Server"}, {kPrefix + "UserID", "dave"}},
     "Document Server",
     "dave",
     {}},
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.label;
}

class Switching : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(Switching, OneFormWithTheEntriesTheNewPrinterTakes) {
    const auto& c = GetParam();
    TabUnderTest t("sample");
    if (*c.jobType) {
        ASSERT_TRUE(qttest::pickWithKeyboard(t.popUp(), c.jobType));
    }
    for (const auto& [field, text] : c.typed) qttest::typeInto(t.entry(field), text);
    t.tab->switchPrinter(setupFor("stored-print-off", "basic", {}, c.remembered));
    QApplication::processEvents();
    EXPECT_EQ(t.forms(), 1);
    EXPECT_EQ(t.tab->printerName(), "basic");
    EXPECT_EQ(t.popUp()->currentText(), c.selected);
    EXPECT_EQ(t.entry("UserIDField")->text(), c.userID);
    EXPECT_EQ(t.entry("PasswordField")->text(), "");
    const QString notice = t.tab->pendingNotice();
    EXPECT_EQ(notice.isEmpty() ? QStringList{} : notice.split('\n'), c.noticeLines);
    const auto* box = t.tab->findChild<QWidget*>("JobLogNotice");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->isVisible(), !c.noticeLines.isEmpty());
    // The new form answers: picking a job type with a password enables its entry.
    ASSERT_TRUE(qttest::pickWithKeyboard(t.popUp(), "Locked Print"));
    EXPECT_TRUE(t.entry("PasswordField")->isEnabled());
    t.tab->confirmNotice();
    EXPECT_TRUE(t.tab->pendingNotice().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Qt, Switching, ::testing::ValuesIn(kSwitchCases),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- screenshots -------------------------------------------------------------------------

struct ScreenshotCase {
    const char* file;
    const char* ppd;
    const char* language;
};

const ScreenshotCase kScreenshots[] = {
    {"joblog-tab-en.png", "sample", "en"},
    {"joblog-tab-de.png", "sample", "de"},
    {"joblog-tab-en-no-job-types.png", "no-job-type-model", "en"},
    {"joblog-tab-de-no-job-types.png", "no-job-type-model", "de"},
};

void PrintTo(const ScreenshotCase& c, std::ostream* os) {
    *os << c.file;
}

class Screenshots : public ::testing::TestWithParam<ScreenshotCase> {};

TEST_P(Screenshots, TheTabIsDrawn) {
    const auto& c = GetParam();
    TabUnderTest t(c.ppd, c.language);
    if (std::string(c.ppd) == "sample") {
        qttest::pickWithKeyboard(t.popUp(), t.popUp()->itemText(2));  // Locked Print
        qttest::typeInto(t.entry("UserIDField"), "alice");
        qttest::typeInto(t.entry("LongPasswordField"), "1234");
    }
    // Let the layout take in the last texts before it is drawn.
    QApplication::processEvents();
    t.tab->layout()->activate();
    t.tab->adjustSize();
    QApplication::processEvents();
    const QImage image = t.tab->grab().toImage();
    ASSERT_FALSE(image.isNull());
    // A drawn form has text on it: many colours from antialiased glyphs, not a flat fill.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 20);
    const std::filesystem::path dir = JOBLOG_SCREENSHOT_DIR;
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(image.save(QString::fromStdString((dir / c.file).string()), "PNG"));
}

INSTANTIATE_TEST_SUITE_P(Qt, Screenshots, ::testing::ValuesIn(kScreenshots), [](const auto& info) {
    std::string name = info.param.file;
    name = name.substr(0, name.find('.'));
    for (auto& c : name)
        if (c == '-') c = '_';
    return name;
});

}  // namespace

int main(int argc, char** argv) {
    // Widget tests draw on Qt's offscreen platform, whatever display there is.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

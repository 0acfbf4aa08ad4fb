// joblog-dialog: plays the print dialog over the Job Log extension without a screen. It loads
// the bundle as a print dialog does, hands the panel a callback object with the given PPD and
// print settings, runs a script of dialog calls and user actions, and prints the result as JSON.
#include <charconv>
#include <iostream>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "BundleLocation.h"
#include "ControlPeers.h"
#include "DialogCommands.h"
#include "DialogServices.h"
#include "HeadlessControls.h"
#include "PrintSettingsKeys.h"
#include "ScriptInput.h"

namespace {

using kordavine::driver::DialogSession;
using kordavine::driver::InputError;
using kordavine::driver::parseDocument;
using kordavine::driver::readDocument;
using kordavine::driver::ScriptError;
using nlohmann::json;
namespace platform = kordavine::platform;

constexpr char kUsage[] =
    "usage: joblog-dialog [--bundle DIR] [--ppd FILE] [--language LANG]\n"
    "                     [--settings FILE | --settings-json JSON] [--refuse-write KEY=STATUS]...\n"
    "                     (--script FILE | --script-json JSON)\n"
    "FILE may be - for standard input.\n";

struct Options {
    std::string bundle = platform::defaultBundlePath().string();
    std::optional<std::string> ppd;
    std::string language = "en";
    json settings = json::object();
    std::vector<std::pair<std::string, platform::OSStatus>> refusedWrites;
    json script;
};

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A key without a dot is a short name and gets the print-settings prefix.
std::string fullKey(const std::string& key) {
    return key.find('.') == std::string::npos ? varlo::printsettings::kKeyPrefix + key : key;
}

// The STATUS of --refuse-write KEY=STATUS: a whole number that fits a status.
platform::OSStatus refusalStatus(const std::string& refusal, std::string_view text) {
    platform::OSStatus status = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), status);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        throw UsageError("--refuse-write " + refusal + ": the status \"" + std::string(text) +
                         "\" is not a whole number from " +
                         std::to_string(std::numeric_limits<platform::OSStatus>::min()) + " to " +
                         std::to_string(std::numeric_limits<platform::OSStatus>::max()));
    }
    return status;
}

Options parseOptions(int argc, char** argv) {
    Options options;
    bool haveScript = false;
    bool readStandardInput = false;
    // The document in the file at path, or on standard input for "-", which holds only one.
    auto document = [&](const std::string& path, std::string_view what) {
        if (path == "-") {
            if (readStandardInput) throw UsageError("standard input can be read only once");
            readStandardInput = true;
        }
        return parseDocument(readDocument(path, what), what);
    };
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw UsageError(option + " needs a value");
            return argv[++i];
        };
        if (option == "--bundle") {
            options.bundle = value();
        } else if (option == "--ppd") {
            options.ppd = value();
        } else if (option == "--language") {
            options.language = value();
        } else if (option == "--settings") {
            options.settings = document(value(), "the settings");
        } else if (option == "--settings-json") {
            options.settings = parseDocument(value(), "the settings");
        } else if (option == "--refuse-write") {
            const std::string refusal = value();
            const auto equals = refusal.find('=');
            if (equals == std::string::npos || equals == 0) {
                throw UsageError("--refuse-write " + refusal + ": needs KEY=STATUS");
            }
            options.refusedWrites.emplace_back(
                fullKey(refusal.substr(0, equals)),
                refusalStatus(refusal, std::string_view(refusal).substr(equals + 1)));
        } else if (option == "--script") {
            options.script = document(value(), "the script");
            haveScript = true;
        } else if (option == "--script-json") {
            options.script = parseDocument(value(), "the script");
            haveScript = true;
        } else {
            throw UsageError("unknown option " + option);
        }
    }
    if (!haveScript) throw UsageError("no script");
    if (!options.settings.is_object() && !options.settings.is_null()) {
        throw UsageError("the settings are neither an object nor null");
    }
    return options;
}

platform::PMPrintSettings makeSettings(const Options& options) {
    if (options.settings.is_null()) return nullptr;
    auto settings = std::make_shared<platform::PrintSettingsStore>();
    for (const auto& [key, value] : options.settings.items()) {
        if (!value.is_string()) throw UsageError("the setting " + key + " is not a string");
        settings->setValue(fullKey(key), value.get<std::string>(), false);
    }
    for (const auto& [key, status] : options.refusedWrites) settings->refuseWritesTo(key, status);
    return settings;
}

int run(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    platform::setToolkit(std::make_shared<kordavine::headless::HeadlessToolkit>());
    // The session owns everything the run makes, in an order that lets it go soundly at any
    // point, an error in the middle of the script included.
    DialogSession session;

    auto loaded = platform::loadPrintDialogExtension(options.bundle, options.language);
    if (const auto* failure = std::get_if<std::string>(&loaded)) throw UsageError(*failure);
    session.plugIn = std::get<platform::LoadedPlugIn>(loaded);
    if (options.ppd) {
        session.ppd = platform::PpdFile::open(*options.ppd);
        if (!session.ppd) throw UsageError("cannot read the PPD " + *options.ppd);
    }
    session.settings = makeSettings(options);
    session.callback = std::make_shared<platform::DialogCallback>(
        session.settings, session.ppd ? session.ppd->get() : nullptr);

    kordavine::driver::runScript(session, options.script);
    // The dialog lets go of the panel before it prints what it saw.
    session.close();
    std::cout << session.result().dump(2) << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const UsageError& error) {
        std::cerr << "joblog-dialog: " << error.what() << '\n' << kUsage;
    } catch (const InputError& error) {
        std::cerr << "joblog-dialog: " << error.what() << '\n';
    } catch (const ScriptError& error) {
        std::cerr << "joblog-dialog: script: " << error.what() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "joblog-dialog: " << error.what() << '\n';
    }
    return 2;
}

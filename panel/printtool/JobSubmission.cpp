#include "JobSubmission.h"

#include <array>
#include <string_view>

namespace kordavine::printtool {

namespace {

// Saved options that describe the queue rather than ask anything of the job.
bool describesTheQueue(const std::string& name) {
    return name.starts_with("printer-") || name == "device-uri" || name == "marker-change-time";
}

// The saved options that say the same as one of the dialog's choices, by the choice.
constexpr std::array kMediaKeys{"media", "PageSize", "PageRegion", "media-col"};
constexpr std::array kSidesKeys{"sides", "Duplex"};
constexpr std::array kOrientationKeys{"orientation-requested", "landscape"};
constexpr std::array kOrderKeys{"outputorder", "OutputOrder"};
constexpr std::array kCollateKeys{"Collate", "collate", "multiple-document-handling"};

template <std::size_t N>
bool isOneOf(const std::string& name, const std::array<const char*, N>& keys) {
    for (const char* key : keys) {
        if (name == key) return true;
    }
    return false;
}

bool decidedByTheDialog(const std::string& name, const DialogChoices& choices) {
    return (choices.media && isOneOf(name, kMediaKeys)) ||
           (choices.sides && isOneOf(name, kSidesKeys)) ||
           (choices.orientation && isOneOf(name, kOrientationKeys)) ||
           (choices.outputOrder && isOneOf(name, kOrderKeys)) || isOneOf(name, kCollateKeys) ||
           choices.cupsOptions.contains(name);
}

struct FreeOptions {
    int count = 0;
    cups_option_t* options = nullptr;
    ~FreeOptions() { cupsFreeOptions(count, options); }
};

}  // namespace

OptionMap jobOptions(const JobRequest& request) {
    const auto& choices = request.choices;
    OptionMap options;
    for (const auto& [name, value] : request.savedOptions) {
        if (describesTheQueue(name) || decidedByTheDialog(name, choices)) continue;
        // The dialog showed this PPD option at its default, so the job gets the default.
        const auto ppdDefault = request.ppdDefaults.find(name);
        options[name] = ppdDefault != request.ppdDefaults.end() ? ppdDefault->second : value;
    }
    options["copies"] = std::to_string(choices.copies < 1 ? 1 : choices.copies);
    if (choices.copies > 1) {
        options["multiple-document-handling"] = choices.collate
                                                    ? "separate-documents-collated-copies"
                                                    : "separate-documents-uncollated-copies";
    }
    if (choices.sides) options["sides"] = *choices.sides;
    if (choices.media) options["media"] = *choices.media;
    if (choices.orientation) options["orientation-requested"] = *choices.orientation;
    if (choices.outputOrder) options["outputorder"] = *choices.outputOrder;
    if (choices.pageRanges) options["page-ranges"] = *choices.pageRanges;
    for (const auto& [name, value] : choices.cupsOptions) options[name] = value;
    options["document-format"] = request.documentFormat;
    for (const auto& [name, value] : request.panelSettings) options[name] = value;
    return options;
}

SubmissionAnswer submitJob(const JobRequest& request) {
    FreeOptions options;
    for (const auto& [name, value] : jobOptions(request)) {
        options.count = cupsAddOption(name.c_str(), value.c_str(), options.count, &options.options);
    }
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, request.queue.c_str(), request.file.c_str(),
                                   request.title.c_str(), options.count, options.options);
    if (job != 0) return {job, {}};
    // libcups fails a request it cannot write (a value longer than IPP allows) without a status
    // of its own; its text is then a stale "Success".
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        return {0, "the print request could not be sent to the print system"};
    }
    return {0, cupsLastErrorString() ? cupsLastErrorString() : "the job was refused"};
}

std::string requestIdLine(const std::string& queue, int jobId) {
    return "request id is " + queue + "-" + std::to_string(jobId) + " (1 file(s))";
}

}  // namespace kordavine::printtool

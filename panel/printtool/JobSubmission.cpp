#include "JobSubmission.h"

#include <memory>

namespace kordavine::printtool {

namespace {

// Saved options that describe the queue rather than ask anything of the job.
bool describesTheQueue(const std::string& name) {
    return name.starts_with("printer-") || name == "device-uri" || name == "marker-change-time";
}

struct FreeOptions {
    int count = 0;
    cups_option_t* options = nullptr;
    ~FreeOptions() { cupsFreeOptions(count, options); }
};

}  // namespace

OptionMap jobOptions(const JobRequest& request) {
    OptionMap options;
    for (const auto& [name, value] : request.savedOptions) {
        if (!describesTheQueue(name)) options[name] = value;
    }
    const auto& choices = request.choices;
    options["copies"] = std::to_string(choices.copies < 1 ? 1 : choices.copies);
    if (choices.copies > 1) options["multiple-document-handling"] =
        choices.collate ? "separate-documents-collated-copies" : "separate-documents-uncollated-copies";
    if (choices.sides) options["sides"] = *choices.sides;
    if (choices.pageRanges) options["page-ranges"] = *choices.pageRanges;
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
    if (job == 0) return {0, cupsLastErrorString() ? cupsLastErrorString() : "the job was refused"};
    return {job, {}};
}

std::string requestIdLine(const std::string& queue, int jobId) {
    return "request id is " + queue + "-" + std::to_string(jobId) + " (1 file(s))";
}

}  // namespace kordavine::printtool

// KordavineJobLogPDE: the job-type pop-up over the job-type model.
#include "JobTypeModel.h"
#include "KordavineJobLogPDE.h"

namespace kordavine::joblog {

bool KordavineJobLogPDE::JobTypeByPM(const std::optional<std::string>& storedName) {
    const PrinterAttributes attributes = printerAttributes();
    const JobTypeChoice choice = chooseJobType(attributes, storedName);
    JobTypeSelection->removeAllItems();
    for (const auto& title : choice.englishTitles)
        JobTypeSelection->addItemWithTitle(localizedString(title));
    if (choice.fileNameRowHidden) {
        DocNameField->setHidden(*choice.fileNameRowHidden);
        DocNameLABEL->setHidden(*choice.fileNameRowHidden);
        DocNamenote->setHidden(*choice.fileNameRowHidden);
    }
    if (choice.titleToSelect)
        JobTypeSelection->selectItemWithTitle(localizedString(*choice.titleToSelect));
    return choice.accepted;
}

bool KordavineJobLogPDE::CheckJobTypeOfPM(const std::optional<std::string>& storedName) {
    return isStoredNameAccepted(printerAttributes(), storedName);
}

}  // namespace kordavine::joblog

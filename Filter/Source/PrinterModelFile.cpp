#include "PrinterModelFile.h"

#include <memory>

// The PPD calls are deprecated in libcups but remain the way to read a driver's PPD attributes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace jobtypefilter {

namespace ps = varlo::printsettings;

namespace {

struct ClosePpd {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};
using PpdHandle = std::unique_ptr<ppd_file_t, ClosePpd>;

std::optional<std::string> attributeValue(ppd_file_t* ppd, const char* name) {
    const ppd_attr_t* attribute = ppdFindAttr(ppd, name, nullptr);
    if (attribute == nullptr || attribute->value == nullptr) return std::nullopt;
    return std::string(attribute->value);
}

}  // namespace

std::optional<ps::PrinterAttributes> readPrinterAttributes(const char* ppdPath) {
    if (ppdPath == nullptr || ppdPath[0] == '\0') return std::nullopt;
    const PpdHandle ppd(ppdOpenFile(ppdPath));
    if (!ppd) return std::nullopt;
    return ps::PrinterAttributes{
        attributeValue(ppd.get(), ps::kNoJobTypeModelAttribute),
        attributeValue(ppd.get(), ps::kStoredPrintSupportAttribute),
        attributeValue(ppd.get(), ps::kStoreAndPrintSupportAttribute),
        attributeValue(ppd.get(), ps::kDocumentServerSupportAttribute),
        attributeValue(ppd.get(), ps::kLongPasswordSupportAttribute),
    };
}

}  // namespace jobtypefilter

#pragma GCC diagnostic pop

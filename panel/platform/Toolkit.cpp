#include "ControlPeers.h"

namespace kordavine::platform {

namespace {
std::shared_ptr<Toolkit>& installedToolkit() {
    static std::shared_ptr<Toolkit> installed;
    return installed;
}
}  // namespace

void setToolkit(std::shared_ptr<Toolkit> toolkit) {
    installedToolkit() = std::move(toolkit);
}

std::shared_ptr<Toolkit> toolkit() {
    return installedToolkit();
}

}  // namespace kordavine::platform

// The classes of the Job Log panel that its module makes known to the host: the panel itself
// (so that it finds its bundle) and the entry-field classes its view description names.
#pragma once

#include "ClassRegistry.h"

namespace kordavine::joblog {

void registerJobLogClasses(platform::ClassRegistrar& registrar);

}  // namespace kordavine::joblog

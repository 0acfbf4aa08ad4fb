// The copy-control settings that are chosen from a table of values, and the numbers the device's
// marking procedure expects for them. Every value is matched exactly and case-sensitively; an
// absent or unknown value takes the table's default.
#pragma once

#include "JobOptions.h"

namespace jobtypefilter {

// The number of each type is the MarkingType the block hands the device.
enum class CopyControlType {
    Off = 0,  // no marking block (default)
    CopyGuard = 1,
    PreventionCopyPattern = 2,
};

enum class RepeatMode {
    Off,              // no loop attributes (default)
    Repeat,           // loop attributes, "/StringLoopToggle false"
    RepeatAndRotate,  // loop attributes, "/StringLoopToggle true"
};

// The custom text, or the login user name, the print job name and the print time joined.
enum class MarkingTextType {
    UserDefined,  // default
    UserName,
    JobName,
    PrintTime,
    UserNameJobName,
    UserNamePrintTime,
    JobNamePrintTime,
    UserNameJobNamePrintTime,
};

struct CopyControlSettings {
    CopyControlType type = CopyControlType::Off;
    int color = 0;     // Black 0 (default), Cyan 1, Magenta 2; prevention copy pattern only
    int density = 3;   // Very Light 1 to Very Dark 5, Middle (3) the default; pattern only
    int mask = 0;      // None 0 (default) to Hexagonal 10; pattern only
    int effect = 0;    // by the type's column: "Background Only" is 1 for the copy guard, 3 for
                       // the prevention copy pattern
    int position = 3;  // Top Left 0 to Bottom Right 6, Center (3) the default
    RepeatMode repeat = RepeatMode::Off;
    MarkingTextType textType = MarkingTextType::UserDefined;
};

// Reads every table-valued copy-control option once. Plain reads: nothing is recorded.
CopyControlSettings readCopyControlSettings(const JobOptions& options);

}  // namespace jobtypefilter

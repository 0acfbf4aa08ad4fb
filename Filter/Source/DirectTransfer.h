// Moving the rest of a job from one descriptor to another inside the kernel, without copying it
// through the filter's memory: splice(2) where one side is a pipe, sendfile(2) from a file.
#pragma once

namespace jobtypefilter {

enum class DirectTransfer {
    Finished,  // the input has ended; every byte of it is in the output
    Refused,   // the kernel would not move (more of) it; the buffered copy goes on from here
};

// Moves everything from in to out. Each call moves bytes exactly once and leaves both
// descriptors' positions behind the bytes moved, so after Refused a buffered copy delivers the
// rest. A kernel that refuses for want of support (EINVAL, ENOSYS, EXDEV, ...) and a real read or
// write error both give Refused: the buffered copy then meets the same error and reports it as
// the read or write failure it is.
DirectTransfer transferDirectly(int in, int out);

}  // namespace jobtypefilter

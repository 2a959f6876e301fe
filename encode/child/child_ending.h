#pragma once

#include <QProcess>
#include <memory>

namespace lumio {

// How long EndChildProcess waits for a killed child to go.
inline constexpr int kChildEndWaitMs = 1000;

// Ends the child of `process` (SIGKILL) without holding the caller up for more than
// kChildEndWaitMs: a child still there after that (stuck in uninterruptible I/O, where
// no signal reaches it until the I/O returns) is left to ReapLater, so that closing
// Lumio never hangs on it.
void EndChildProcess(std::unique_ptr<QProcess> process);

// Keeps `process` until its child has ended, then frees it from the event loop. Should
// the program end first, the child, which was started bound to the program's life, is
// killed by the system and the object is not freed: freeing it would wait again.
void ReapLater(std::unique_ptr<QProcess> process);

}  // namespace lumio

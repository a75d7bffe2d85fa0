#pragma once

class QThreadPool;

// The threads for work the user does not wait for, such as checking every cover. They run at the
// system's idle priority, so that the window, the covers on screen and whatever the user asks for
// come first, and they still use what processor time is left.
QThreadPool& backgroundPool();

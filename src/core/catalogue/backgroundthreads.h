#pragma once

class QThreadPool;

// The threads of the program's long work in the background: finding and reading the catalogue,
// ranking its columns, checking its covers. Not Qt's shared pool: Qt hands parts of large paints
// to that one and waits for them, so that long work there would hold up the window's drawing.
// One pool for all of it, so that each step takes over the threads, and the memory they keep for
// reuse, that the step before left: threads of their own would each keep some.
QThreadPool* backgroundThreads();

#pragma once

namespace brisvale {

// Checks what a copy of the program needs at run time, with the windows it
// really opened: the data folder, the default picture and the chime in it,
// and the table on screen (the main window shown). Each finding goes to
// standard output; the answer is the exit status, 0 when everything is there.
int runSelfTest();

} // namespace brisvale

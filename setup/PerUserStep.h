#pragma once
// Setup started as the per-user program ("TerrasumUser.exe /PERUSER", by
// Windows' Active Setup at a user's sign-in): makes the product's AutoCAD
// profiles in that user's part of the registry, as the installation made
// them for the user who installed, and ends. It never shows a window.

// When the command line is the per-user switch, runs the per-user step and
// ends the process with its exit code (0 done, 1 no installation found);
// otherwise returns at once, having done nothing.
void RunPerUserStepIfAsked();

// The per-user step itself: 0 when the profiles were made for the
// installation found, 1 when there is none (then nothing is written).
int RunPerUserStep();

// Answers the exit dialog from inside its modal loop, as a user does.
#pragma once

// Opens the exit screen and, once its dialog shows, clicks the radio button (0: none) and
// then the button (IDOK, IDCANCEL, or 0 to close the dialog). Returns OpenExitScreen's
// result; *checked gets the id of the radio button checked before the button was pressed
// (-1 when more than one was).
int OpenAnsweredExitScreen(int radio, int button, int* checked = nullptr);

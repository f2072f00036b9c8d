// The sample application's notification icon: added with the window's icon and title when
// asked, changed once after a while, told of taps (each reported on standard output as
// "notify <id> <message>"), its menu opened by a hold, and deleted when the program ends.
#pragma once

#include <windows.h>

#include "app_options.h"

// Adds the icon of the options to the window; nothing when none is asked for.
void add_notify_icon(HWND window, HICON icon, const AppOptions& options);
// Gives the icon another picture and the tip "<title> changed".
void change_notify_icon(HICON icon, const AppOptions& options);
void delete_notify_icon();
// The window's messages for the icon (its callback, and "TaskbarCreated" when it listens);
// true when the message was one of them.
bool handle_notify_message(UINT message, WPARAM wparam, LPARAM lparam);

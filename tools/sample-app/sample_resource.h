// Resource ids of the sample application. Icon groups are numbered from 1, so group 1
// (icon 0) comes first in the file and a file-icon lookup (index 0) finds it, unless the
// build puts a named group for icon SAMPLE_FILE_ICON before them (sample_app.rc).
#pragma once

#define IDI_APP0 1
#define IDI_APP1 2
#define IDI_APP2 3
#define IDI_APP3 4

#define SAMPLE_ICON_COUNT 4

#ifndef SAMPLE_FILE_ICON
#define SAMPLE_FILE_ICON 0
#endif

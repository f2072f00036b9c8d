// Resource identifiers of zorv.exe, shared by the resource script and the shell's code.
#pragma once

#define IDS_EXIT_BUTTON        101
#define IDS_ALL_PROGRAMS       102
#define IDS_SIDE_ITEM_FIRST    120  /* side items 0 to 7: 120 to 127 */
#define IDS_MORE               200
#define IDS_TASK_RESTORE       210
#define IDS_TASK_BRING_TO_FRONT 211
#define IDS_TASK_MINIMISE      212
#define IDS_TASK_CLOSE         213
#define IDS_END_TASK_CAPTION   220
#define IDS_END_TASK_PROMPT    221
#define IDS_END_TASK_PROGRAM   222  /* %s: the executable's file name */
#define IDS_END_TASK_WINDOW    223  /* %s: the window's title */
#define IDS_END_TASK_BUTTON    224
#define IDS_CANCEL             225

/* A string's Japanese text has the id of its English text plus this offset. */
#define JAPANESE_TEXT_OFFSET   5000

#define IDC_EXIT_SHELL         11
#define IDC_SOFT_RESET         12
#define IDC_HARD_RESET         13

#define IDC_END_TASK_PROMPT    21
#define IDC_END_TASK_PROGRAM   22
#define IDC_END_TASK_WINDOW    23

// Resource identifiers of zorv.exe, shared by the resource script and the shell's code.
#pragma once

#define IDS_EXIT_BUTTON        101
#define IDS_ALL_PROGRAMS       102
#define IDS_SIDE_ITEM_FIRST    120  /* side items 0 to 7: 120 to 127 */
#define IDS_MORE               200

/* A string's Japanese text has the id of its English text plus this offset. */
#define JAPANESE_TEXT_OFFSET   5000

#define IDC_EXIT_SHELL         11
#define IDC_SOFT_RESET         12
#define IDC_HARD_RESET         13

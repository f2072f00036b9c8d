// Resource identifiers of zorv.exe, shared by the resource script and the shell's code.
#pragma once

// English texts have ids below JAPANESE_TEXT_OFFSET.
#define IDS_EXIT_BUTTON        101
#define IDS_ALL_PROGRAMS       102
#define IDS_NAND3_HEADING      110  /* All Programs' volume headings */
#define IDS_SD_CARD_HEADING    111
#define IDS_SIDE_ITEM_FIRST    120  /* side items 0 to 7: 120 to 127 */
#define IDS_NOT_IMPLEMENTED    130
#define IDS_MORE               200
#define IDS_EXIT_CAPTION       300  /* the exit dialog */
#define IDS_EXIT_QUESTION      301
#define IDS_EXIT_SHELL         302
#define IDS_SOFT_RESET         303
#define IDS_HARD_RESET         304
#define IDS_OK                 305
#define IDS_CANCEL             306

/* A string's Japanese text has the id of its English text plus this offset. */
#define JAPANESE_TEXT_OFFSET   5000

#define IDC_EXIT_SHELL         11
#define IDC_SOFT_RESET         12
#define IDC_HARD_RESET         13
#define IDC_EXIT_QUESTION      14

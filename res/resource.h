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

/* The Run dialog, the input panel item and the hard reset's confirmation. */
#define IDS_RUN_CAPTION         400
#define IDS_RUN_PROMPT          401
#define IDS_RUN_OPEN            402
#define IDS_RUN_OK              403
#define IDS_RUN_CANCEL          404
#define IDS_RUN_FAILED          405  /* a format: the command, then the system's reason */
#define IDS_SHELL_CAPTION       410
#define IDS_NO_INPUT_PANEL      411
#define IDS_HARD_RESET_CAPTION  420
#define IDS_HARD_RESET_WARNING  421

#define IDC_RUN_PROMPT         401
#define IDC_RUN_OPEN           402
#define IDC_RUN_COMMAND        403

// Resource identifiers of zorv.exe, shared by the resource script and the shell's code.
#pragma once

// English texts have ids below JAPANESE_TEXT_OFFSET.
#define IDS_EXIT_BUTTON        101
#define IDS_ALL_PROGRAMS       102
#define IDS_NAND3_HEADING      110  /* All Programs' volume headings */
#define IDS_SD_CARD_HEADING    111
#define IDS_SIDE_ITEM_FIRST    120  /* side items 0 to 7: 120 to 127 */
#define IDS_MORE               200
#define IDS_EXIT_CAPTION       300  /* the exit dialog */
#define IDS_EXIT_QUESTION      301
#define IDS_EXIT_SHELL         302
#define IDS_SOFT_RESET         303
#define IDS_HARD_RESET         304
#define IDS_OK                 305
#define IDS_CANCEL             306

/* The settings dialog's texts; IDS_SIDE_ITEM_FIRST + 5 is its caption. */
#define IDS_SETTINGS_USER_NAME       340
#define IDS_SETTINGS_PICTURE         341
#define IDS_SETTINGS_THEME           342
#define IDS_SETTINGS_CLOCK           343
#define IDS_SETTINGS_CLOCK_12        344
#define IDS_SETTINGS_CLOCK_24        345
#define IDS_SETTINGS_SHORTCUTS       346
#define IDS_SETTINGS_SHORTCUT        347
#define IDS_SETTINGS_SHORTCUT_NAME   348
#define IDS_SETTINGS_SHORTCUT_PATH   349
#define IDS_SETTINGS_THEME_REFUSED   352
#define IDS_SETTINGS_WRITE_FAILED    353
#define IDS_SETTINGS_RESTART         354

#define IDS_TASK_RESTORE       210
#define IDS_TASK_BRING_TO_FRONT 211
#define IDS_TASK_MINIMISE      212
#define IDS_TASK_CLOSE         213
#define IDS_END_TASK_CAPTION   220
#define IDS_END_TASK_PROMPT    221
#define IDS_END_TASK_PROGRAM   222  /* %ls: the executable's file name */
#define IDS_END_TASK_WINDOW    223  /* %ls: the window's title */
#define IDS_END_TASK_BUTTON    224

/* A string's Japanese text has the id of its English text plus this offset. */
#define JAPANESE_TEXT_OFFSET   5000

#define IDC_EXIT_SHELL         11
#define IDC_SOFT_RESET         12
#define IDC_HARD_RESET         13
#define IDC_EXIT_QUESTION      14

/* Controls of SETTINGSDLG. */
#define IDC_SETTINGS_USER_NAME_LABEL  60
#define IDC_SETTINGS_USER_NAME        61
#define IDC_SETTINGS_PICTURE_LABEL    62
#define IDC_SETTINGS_PICTURE          63
#define IDC_SETTINGS_THEME_LABEL      64
#define IDC_SETTINGS_THEME            65
#define IDC_SETTINGS_CLOCK_LABEL      66
#define IDC_SETTINGS_CLOCK_12         67
#define IDC_SETTINGS_CLOCK_24         68
#define IDC_SETTINGS_SHORTCUTS        69
#define IDC_SETTINGS_SHORTCUT_LABEL   70
#define IDC_SETTINGS_SHORTCUT         71
#define IDC_SETTINGS_NAME_LABEL       72
#define IDC_SETTINGS_NAME             73
#define IDC_SETTINGS_PATH_LABEL       74
#define IDC_SETTINGS_PATH             75

#define IDC_END_TASK_PROMPT    21
#define IDC_END_TASK_PROGRAM   22
#define IDC_END_TASK_WINDOW    23

/* The Run dialog, the input panel item and the hard reset's confirmation. */
#define IDS_RUN_CAPTION         400
#define IDS_RUN_PROMPT          401
#define IDS_RUN_OPEN            402
#define IDS_RUN_FAILED          405  /* a format: the command, then the system's reason */
#define IDS_SHELL_CAPTION       410
#define IDS_NO_INPUT_PANEL      411
#define IDS_HARD_RESET_CAPTION  420
#define IDS_HARD_RESET_WARNING  421

/* The battery's tooltip and its low-battery box. */
#define IDS_BATTERY_TIP          460  /* %d: the level in percent */
#define IDS_BATTERY_TIP_CHARGING 461  /* %d: the level in percent */
#define IDS_BATTERY_TIP_UNKNOWN  462
#define IDS_BATTERY_LOW_CAPTION  463
#define IDS_BATTERY_LOW          464  /* %d: what is left, in percent */

#define IDC_RUN_PROMPT         401
#define IDC_RUN_OPEN           402
#define IDC_RUN_COMMAND        403

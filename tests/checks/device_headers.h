// Forced into the portable sources by the 32-bit ARM check: constants that desktop Win32 has
// and the device's headers do not, taken away so that a use of one fails to compile. The
// functions the device lacks are the import check's; errno, which the C++ library's own
// headers use, is caught there too, as _errno.
#pragma once
#include <windows.h>

#undef SW_MINIMIZE  // no minimised state
#undef SMTO_ABORTIFHUNG  // SendMessageTimeoutW takes SMTO_NORMAL only
#undef SMTO_BLOCK
#undef SMTO_NOTIMEOUTIFNOTHUNG
#undef SMTO_ERRORONEXIT
#undef GCLP_HICON  // GetClassLongW only, with its GCL_ indexes
#undef GCLP_HICONSM
#undef LR_LOADFROMFILE  // LoadImageW loads no files; SHLoadDIBitmap does
#pragma GCC poison SW_MINIMIZE SMTO_ABORTIFHUNG SMTO_BLOCK SMTO_NOTIMEOUTIFNOTHUNG SMTO_ERRORONEXIT
#pragma GCC poison GCLP_HICON GCLP_HICONSM LR_LOADFROMFILE

// The test's own string, an id that no text of the shell uses.
#pragma once
#define IDS_TEST_ENGLISH_ONLY  4999

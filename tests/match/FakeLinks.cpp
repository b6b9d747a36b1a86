// Stand-ins for the link library, built as libduelcom.so in folders of their own:
// "broken" lacks newgame; "silent" has all five but no partner ever answers.
#define FAKE_API extern "C" __attribute__((visibility("default")))

static int closes = 0;

FAKE_API int initcom(int) { return 1; }
FAKE_API int closecom() { return ++closes; }
FAKE_API int sendxy(int, int) { return 0; }
FAKE_API int receivexy(int*, int*) { return 0; }
#ifndef FAKE_WITHOUT_NEWGAME
FAKE_API int newgame(int) { return 0; }
#endif
FAKE_API int fake_closecom_calls() { return closes; }

#include "transfer/entry_point.h"

int BrenkarMain(int, char**) { return -1; }

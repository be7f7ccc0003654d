// The brenkar program: the transfer's entry point behind main.
#include "transfer/entry_point.h"

int main(int argc, char** argv) {
    return BrenkarMain(argc, argv);
}

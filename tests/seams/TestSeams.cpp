// The tests' write faults, installed into the atomic writer once.
#include "TestSeams.h"

TWriteFaults& WriteFaults() {
    static TWriteFaults faults;
    static const bool installed = (SetWriteFaults(&faults), true);
    (void)installed;
    return faults;
}

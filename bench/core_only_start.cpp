// The floor of a start for the companion's: a program that links Qt Core only and prints its version.
#include <QtGlobal>
#include <cstdio>

int main() {
    std::printf("Qt %s\n", qVersion());
    return 0;
}

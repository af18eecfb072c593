#include "driver.h"

int main(int argc, char** argv) {
    return runChecker(argc, argv);
}

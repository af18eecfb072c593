#include "driver.h"

int main(int argc, char** argv) {
    return vantrel::runChecker(argc, argv);
}

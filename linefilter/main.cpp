#include "filter_driver.h"

int main(int argc, char** argv) {
    return glimmerlode::runFilter(argc, argv);
}

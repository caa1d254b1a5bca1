// Entry point of the cloud demo.
#include "demo.h"

int main() {
    return CloudsDemo::RunCloudsDemo();
}

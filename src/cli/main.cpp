#include <iostream>

int main() {
    std::cout << "benthix-cli " << BX_VERSION << '\n';
    return 0;
}

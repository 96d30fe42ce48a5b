#include <cstdio>

int main() {
    std::fprintf(stderr, "bookc: not written yet\n");
    return 1;
}

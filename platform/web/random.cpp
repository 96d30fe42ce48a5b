// The C library's srand and rand as the desktop's C library (glibc) gives
// them: its additive feedback generator over 31 words, seeded by a
// Park-Miller sequence. The reader's chance comes from rand, seeded from the
// tick count; with the same generator, the same clock gives the same rolls in
// the browser as on the desktop (the walkthroughs replay alike).
#include <cstdint>
#include <cstdlib>

namespace {

int32_t state[31];
int front = 3, rear = 0;  // the generator's two taps, 3 words apart

}  // namespace

extern "C" void srand(unsigned seed) {
    int32_t word = seed == 0 ? 1 : static_cast<int32_t>(seed);
    state[0] = word;
    for (int i = 1; i < 31; ++i) {
        // 16807 * word % (2^31 - 1), without overflow (Schrage's method).
        const int32_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        state[i] = word;
    }
    front = 3;
    rear = 0;
    for (int i = 0; i < 310; ++i) rand();
}

extern "C" int rand() {
    uint32_t& f = reinterpret_cast<uint32_t&>(state[front]);
    f += static_cast<uint32_t>(state[rear]);
    const int result = static_cast<int>(f >> 1);
    front = (front + 1) % 31;
    rear = (rear + 1) % 31;
    return result;
}

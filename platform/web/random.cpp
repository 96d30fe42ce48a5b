// The C library's srand and rand in the browser build.
// Implements: the generator of the desktop's C library (glibc): additive
// feedback over 31 words, seeded by a Park-Miller sequence, 310 values
// discarded, results of 31 bits; seed 0 taken as 1.
// Differs: the handheld's own runtime had another generator; the browser
// build follows the desktop's instead, so that the reader, which seeds rand
// from the tick count, rolls the same in both (the walkthroughs replay alike).
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

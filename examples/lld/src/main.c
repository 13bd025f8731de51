/* A small freestanding program for the lld map tests: code, constants, initialised and
 * zero-initialised data, and a function from a library archive. */
extern unsigned checksum(const unsigned char *data, unsigned length);

static const unsigned char greeting[] = "tarvel";
unsigned ticks;
unsigned history[8] = {1, 2, 3, 4, 5, 6, 7, 8};

int main(void) {
    for (unsigned i = 0; i < 8; ++i) {
        history[i] += checksum(greeting, sizeof greeting) + ticks++;
    }
    return (int)history[3];
}

static unsigned char scratch[32];

unsigned checksum(const unsigned char *data, unsigned length) {
    unsigned sum = 0;
    for (unsigned i = 0; i < length; ++i) {
        scratch[i & 31] ^= data[i];
        sum = (sum << 1) + data[i] + scratch[i & 31];
    }
    return sum;
}

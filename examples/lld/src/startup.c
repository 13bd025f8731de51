extern int main(void);
extern unsigned _estack;

void reset(void) {
    main();
    for (;;) {
    }
}

__attribute__((section(".vectors"), used)) void *const vectors[2] = {&_estack, (void *)reset};

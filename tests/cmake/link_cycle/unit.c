int unit(void) { return 0; }

/* A module of the machine type of the compiler that builds it: the test build
   makes one with each MinGW compiler, an i386 and an AMD64 image. */
int __declspec(dllexport) ModuleBits(void) { return (int)sizeof(void*) * 8; }

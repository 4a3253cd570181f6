// The libmspack peer of `vxrpack expand`: one SZDD file to one file, through
// libmspack's own file I/O, as a tool built on it would do.
//   mspack_expand IN OUT
#include <mspack.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mspack_expand IN OUT\n");
    return 2;
  }
  msszdd_decompressor* d = mspack_create_szdd_decompressor(nullptr);
  if (d == nullptr) return 1;
  const int error = d->decompress(d, argv[1], argv[2]);
  mspack_destroy_szdd_decompressor(d);
  if (error != MSPACK_ERR_OK) {
    std::fprintf(stderr, "mspack_expand: %s: error %d\n", argv[1], error);
    return 1;
  }
  return 0;
}
